#include "Settings.h"

#include <cstdlib>
#include <cstring>

#include "EngineSettings.h"
#include "Files.h"
#include "Folders.h"
#include "IniTextFile.h"
#include "LibFormats.h"
#include "LibrarySet.h"
#include "PasswordList.h"
#include "PathText.h"
#include "ProfileSettings.h"
#include "Retrieve.h"
#include "SettingValues.h"
#include "SharedSection.h"
#include "StringCipher.h"
#include "TextHelpers.h"
#include "UserMessage.h"

PromptFontData g_lfPromptFont;

namespace {
const char kSection[] = "Settings";

int ClampInt(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

// The settings file read once and written once, or the registry key by key
// while the profile still lives there. Writes are collected; Commit writes
// them and names what failed.
class SettingsStore {
public:
    SettingsStore()
    {
        m_inFile = GetAppRegistryKey().IsEmpty();
        if (m_inFile) {
            m_path = GetAppProfileName();
            // Load fails for a missing file too; only an existing one is damage.
            m_readFailed = !m_file.Load(m_path, kSection) && FileExists(m_path);
        }
    }
    ~SettingsStore() { m_file.SetDirty(false); }  // only Commit writes
    bool ReadFailed() const { return m_readFailed; }
    const CString &Path() const { return m_path; }

    int GetInt(const char *key, int defaultValue)
    {
        return m_inFile ? m_file.GetInt(key, defaultValue, kSection) : GetProfileIntEx(key, defaultValue, kSection);
    }
    CString GetString(const char *key, const char *defaultValue)
    {
        return m_inFile ? m_file.GetString(key, defaultValue, false, kSection)
                        : GetProfileStringEx(key, defaultValue, false, kSection);
    }
    void WriteInt(const char *key, int value)
    {
        const bool ok = m_inFile ? m_file.SetInt(key, value, kSection) : WriteProfileIntEx(key, value, kSection);
        if (!ok)
            m_failed.push_back(key);
    }
    void WriteString(const char *key, const char *value)
    {
        const bool ok =
            m_inFile ? m_file.SetString(key, value, false, kSection) : WriteProfileStringEx(key, value, false, kSection);
        if (!ok)
            m_failed.push_back(key);
    }
    // Writes the file; false when it could not be written. The keys that
    // could not be stored are in Failed().
    bool Commit()
    {
        if (m_inFile && m_file.IsDirty() && !m_file.Save())
            return false;
        return true;
    }
    const std::vector<CString> &Failed() const { return m_failed; }

private:
    bool m_inFile = true;
    bool m_readFailed = false;
    CString m_path;
    CIniTextFile m_file;
    std::vector<CString> m_failed;
};

int DefaultInt(const SettingDef &def, bool mt) { return mt ? def.defIntMT : def.defInt; }
const char *DefaultStr(const SettingDef &def, bool mt) { return mt ? def.defStrMT : def.defStr; }

CString Unquote(const CString &value)
{
    const int n = value.GetLength();
    if (n >= 2 && value[0] == '"' && value[n - 1] == '"')
        return value.Mid(1, n - 2);
    return value;
}

// Reads one key into its variable.
void ReadSetting(const SettingDef &def, bool mt, SettingsStore *store)
{
    const bool second = def.route == ROUTE_SETTING;
    switch (def.type) {
    case SETTING_INT:
    case SETTING_UINT:
    case SETTING_CHAR: {
        const int value = second ? GetSettingInt(def.key, DefaultInt(def, mt), kSection)
                                 : store->GetInt(def.key, DefaultInt(def, mt));
        SetSettingValueText(def, FormatStr("%d", value));
        break;
    }
    default: {
        const CString value = second ? GetSettingString(def.key, DefaultStr(def, mt), false, kSection)
                                     : store->GetString(def.key, DefaultStr(def, mt));
        SetSettingValueText(def, def.type == SETTING_ENCODED ? UrlDecode(value, false) : Unquote(value));
        break;
    }
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text a key is stored as. The reader trims values and takes one pair of
// quotes off, so a value that begins or ends with white space (" &-", the
// word concatenators, begins with a space) or is itself quoted goes between
// quotes, else it would change on every save.
CString StoredText(const SettingDef &def)
{
    const CString value = SettingValueText(def);
    const int n = value.GetLength();
    const bool needsQuotes = n > 0 && (IsBlank(value[0]) || IsBlank(value[n - 1]) ||
                                       (n >= 2 && value[0] == '"' && value[n - 1] == '"'));
    if (def.type == SETTING_QUOTED || (def.type != SETTING_ENCODED && needsQuotes))
        return "\"" + value + "\"";
    if (def.type == SETTING_ENCODED)
        return UrlEncode(value);
    return value;
}

bool IsIntType(SettingType type) { return type == SETTING_INT || type == SETTING_UINT || type == SETTING_CHAR; }

// Writes one key; second-route keys go to the file at once, the others to
// the store.
void WriteSetting(const SettingDef &def, SettingsStore &store, std::vector<CString> &failed)
{
    if (def.route == ROUTE_SETTING) {
        const BOOL ok = IsIntType(def.type) ? WriteSettingInt(def.key, std::atoi(SettingValueText(def)), kSection)
                                            : WriteSettingString(def.key, StoredText(def), false, kSection);
        if (!ok)
            failed.push_back(def.key);
        return;
    }
    if (IsIntType(def.type))
        store.WriteInt(def.key, std::atoi(SettingValueText(def)));
    else
        store.WriteString(def.key, StoredText(def));
}

// Writes the store and tells the user of every failure in one message.
BOOL FinishSave(SettingsStore &store, std::vector<CString> &failed)
{
    const bool written = store.Commit();
    failed.insert(failed.end(), store.Failed().begin(), store.Failed().end());
    if (!written)
        ReportSaveFailure({}, store.Path());
    else
        ReportSaveFailure(failed, "");
    return written && failed.empty() ? TRUE : FALSE;
}

CString ReadSharedString(const char *shared, size_t capacity)
{
    size_t length = 0;
    while (length + 1 < capacity && shared[length])
        ++length;
    return CString(shared, static_cast<int>(length));
}
}  // namespace

CString SharedValueToSave(const CString &full, const char *shared, size_t capacity)
{
    const CString held = ReadSharedString(shared, capacity);
    const int cut = static_cast<int>(capacity > 0 ? capacity - 1 : 0);
    const CString fullCut = full.GetLength() > cut ? full.Left(cut) : full;
    return held == fullCut ? full : held;
}

CString SettingValueText(const SettingDef &def)
{
    switch (def.type) {
    case SETTING_INT:
        return FormatStr("%d", *static_cast<int *>(def.var));
    case SETTING_UINT:
        return FormatStr("%d", static_cast<int>(*static_cast<UINT *>(def.var)));
    case SETTING_CHAR:
        return FormatStr("%d", static_cast<unsigned char>(*static_cast<char *>(def.var)));
    case SETTING_FLOAT:
        return FormatStr("%g", static_cast<double>(*static_cast<float *>(def.var)));
    case SETTING_SHARED:
        return SharedValueToSave(*static_cast<CString *>(def.var), def.shared, def.sharedSize);
    default:
        return *static_cast<CString *>(def.var);
    }
}

void SetSettingValueText(const SettingDef &def, const char *text)
{
    switch (def.type) {
    case SETTING_INT:
        *static_cast<int *>(def.var) = std::atoi(text);
        break;
    case SETTING_UINT:
        *static_cast<UINT *>(def.var) = static_cast<UINT>(std::atoi(text));
        break;
    case SETTING_CHAR:
        *static_cast<char *>(def.var) = static_cast<char>(std::atoi(text) & 0xFF);
        break;
    case SETTING_FLOAT:
        *static_cast<float *>(def.var) = static_cast<float>(std::atof(text));
        break;
    case SETTING_SHARED:
        // The full value is kept for saving; the hook gets as much as fits.
        *static_cast<CString *>(def.var) = text;
        SetSharedString(def.shared, def.sharedSize, text);
        break;
    default:
        *static_cast<CString *>(def.var) = text;
        break;
    }
}

CString GetSettingsFilePath() { return GetAppDataFolder() + g_strProductName + ".ini"; }

int GetProfileIntS(const char *key, int defaultValue) { return GetProfileIntEx(key, defaultValue, kSection); }
CString GetProfileStringS(const char *key, const char *defaultValue)
{
    return GetProfileStringEx(key, defaultValue, false, kSection);
}

BOOL WriteProfileIntS(const char *key, int value)
{
    if (WriteProfileIntEx(key, value, kSection))
        return TRUE;
    ReportSaveFailure({key}, "");
    return FALSE;
}

BOOL WriteProfileStringS(const char *key, const char *value)
{
    if (WriteProfileStringEx(key, value, false, kSection))
        return TRUE;
    ReportSaveFailure({key}, "");
    return FALSE;
}

void ReportSaveFailure(const std::vector<CString> &failedKeys, const char *file)
{
    // A file that could not be written is named instead of each of its keys.
    CString what = file ? file : "";
    if (what.IsEmpty()) {
        for (const CString &key : failedKeys)
            what += (what.IsEmpty() ? "" : ", ") + key;
    }
    if (!what.IsEmpty())
        ShowMessage("Can't save setting:" + what + "\r\nPlease report to the author!");
}

CAppSettings::CAppSettings()
    : m_iniCustom("custom.ini"),
      m_strQuickAddTargetLib("User Lib:user_en"),
      m_strShorthandListDelimiters(" \t="),
      m_strCopyAppendStr("\r\n"),
      m_strUserLibPath("user.lib"),
      m_strUserLibraryPath("user_en.lib")
{
    m_iniCustom.m_strSection = "general";
}

std::vector<SettingDef> CAppSettings::Table()
{
    std::vector<SettingDef> t;
    auto add = [&t](const char *key, SettingType type, void *var, int d, int dMT, const char *s = nullptr,
                    const char *sMT = nullptr) {
        SettingDef def{key, type, ROUTE_PROFILE, true, var, nullptr, 0, d, dMT, s, sMT ? sMT : s};
        t.push_back(def);
        return &t.back();
    };
    auto i = [&](const char *key, int *var, int d) { return add(key, SETTING_INT, var, d, d); };
    auto iMT = [&](const char *key, int *var, int d, int dMT) { return add(key, SETTING_INT, var, d, dMT); };
    auto u = [&](const char *key, UINT *var, int d) { return add(key, SETTING_UINT, var, d, d); };
    auto s = [&](const char *key, CString *var, const char *d) { return add(key, SETTING_STRING, var, 0, 0, d); };
    auto shared = [&](const char *key, CString *full, char *array, size_t size, const char *d,
                      const char *dMT = nullptr) {
        SettingDef *def = add(key, SETTING_SHARED, full, 0, 0, d, dMT);
        def->shared = array;
        def->sharedSize = size;
        return def;
    };
    auto second = [](SettingDef *def) { def->route = ROUTE_SETTING; };
    auto notSaved = [](SettingDef *def) { def->saved = false; };

    // The prompt keys (LoadPromptSettings).
    u("ActivatePromptKey", &g_nActivatePromptKey, 0x27B);
    iMT("AutoCompleteUponDelimiter", &g_bAutoCompleteUponDelimiter, 0, 1);
    i("CompleteUponPunctOnly", &g_bCompleteUponPunctOnly, 1);
    iMT("RemoveSpaceBeforePunctuation", &g_bRemoveSpaceBeforePunctuation, 0, 1);
    second(i("CenterHorizontalPromptBox", &m_bCenterHorizontalPromptBox, 1));
    second(s("QuickAddTargetLib", &m_strQuickAddTargetLib, "User Lib:user_en"));
    second(iMT("ImportAlwaysKeepCaps", &m_bImportAlwaysKeepCaps, 0, 1));
    second(iMT("PromptBoxMargin", &m_nPromptBoxMargin, 1, 3));
    second(i("ShorthandGenMethod", &g_nShorthandGenMethod, 1));
    add("ShorthandListDelimiters", SETTING_QUOTED, &m_strShorthandListDelimiters, 0, 0, " \t=");

    // The rest (LoadSettings).
    notSaved(i("ResortAllLibrary", &m_bResortAllLibrary, 1));
    iMT("AppendSpaceOnCompletion", &m_bAppendSpaceOnCompletion, 0, 1);
    i("MSWordEnhance", &g_bMSWordEnhance, 1);
    i("RunCount", &m_nRunCount, 0);
    i("MinBestMatchLen", &m_nMinBestMatchLen, 4);
    i("FunSel", &g_bFunSel, 0);
    i("DisableWithIME", &m_bDisableWithIME, 0);
    i("AutoSizeVPrompt", &m_bAutoSizeVPrompt, 1);
    i("HPromptWidth", &m_nHPromptWidth, 500);
    i("VPromptWidth", &m_nVPromptWidth, 100);
    i("NoPromptDlg", &m_bNoPromptDlg, 0);
    i("MSWordDelay", &m_nMSWordDelay, 100);
    i("SendKeyDelay", &m_nSendKeyDelay, 0);
    add("AppendStr", SETTING_ENCODED, &m_strAppendStr, 0, 0, "");
    i("SaveClipHis", &m_bSaveClipHis, 1);
    i("SpaceAfterPunct", &g_bSpaceAfterPunct, 0);
    i("AutoHidePrompt", &m_bAutoHidePrompt, 1);
    i("DoubleSpace", &g_bDoubleSpace, 1);
    i("EnableUserLib", &g_bEnableUserLib, 1);
    i("PromptAllCaretFail", &g_bPromptAllCaretFail, 0);
    i("FlushPercentage", &g_nFlushPercentage, 33);
    i("MinPhraseLength", &g_nMinPhraseLength, 10);
    i("PromptWord", &g_bPromptWord, 1);
    i("PromptSH", &g_bPromptSH, 1);
    s("WordRule", &g_strWordRule, "csn");
    iMT("ExpandFullSHAtDlmt", &g_bExpandFullSHAtDlmt, 1, 0);
    i("OneCharAllCap", &g_bOneCharAllCap, 0);
    i("PromptPointX", &m_nPromptPointX, 0);
    i("PromptPointY", &m_nPromptPointY, 0);
    i("ShutdownConfirm", &m_bShutdownConfirm, 1);
    i("PromptPosition", &m_nPromptPosition, 1);
    i("DefPromptType", &g_nDefPromptType, 0);
    iMT("ShowGadget", &m_bShowGadget, 1, 0);
    i("MaxPromptWidth", &m_nMaxPromptWidth, 300);
    i("ReversePaste", &m_bReversePaste, 1);
    i("WPLeft", &m_nWPLeft, 0);
    i("WPTop", &m_nWPTop, 0);
    i("ShowTip", &m_bShowTip, 1);
    i("TipNum", &m_nTipNum, -1);
    i("NumpadDigit", &g_bNumpadDigit, 0);
    i("DebugMsg", &g_bDebugMsg, 0);
    i("EnableClipExt", &m_bEnableClipExt, 1);
    i("DisableInExplorer", &g_bDisableInExp, 1);
    i("ShowItemNumber", &m_bShowItemNumber, 1);
    i("DigitSelect", &g_bDigitSelect, 1);
    i("NoPromptDigit", &m_bNoPromptDigit, 1);
    i("NoLearnNumber", &g_bNoLearnNumber, 1);
    s("AutoGenRule", &g_strAutoGenRule, "1~3;1~2;1;1;1;1;1");
    i("AbbrWord", &g_bAbbrWord, 0);
    i("ForceSHKey", &m_nForceSHKey, 0x71);
    s("LineHeader", &m_strLineHeader, "");
    i("CopyType", &m_nCopyType, 0);
    i("CopyDelay", &m_nCopyDelay, 100);
    i("ExpandClipListDlg", &m_bExpandClipListDlg, 1);
    i("EnableClipCap", &m_bEnableClipCap, 1);
    add("ShorthandTag", SETTING_CHAR, &g_chShorthandTag, '$', '\\');
    i("DisableSmallEdit", &m_bDisableSmallEdit, 1);
    i("AltANSI", &m_bAltANSI, 0);
    notSaved(i("NonEnglishChar", &g_bNonEnglishChar, 1));
    i("SelectedText", &m_crSelectedText, 0xFFFFFF);
    i("SelectedBack", &m_crSelectedBack, 0xFF0000);
    i("TextColor", &m_crTextColor, 0);
    i("BackColor", &m_crBackColor, 0xFFFFFF);
    i("ReducePercentage", &g_nReducePercentage, 30);
    i("AutoReduce", &g_bAutoReduce, 1);
    i("ReduceLimit", &g_nReduceLimit, 10000);
    i("RejectPhraseThe", &g_bRejectPhraseThe, 1);
    i("RejectPhraseA", &g_bRejectPhraseA, 0);
    i("RetrieveThreadPriority", &m_nRetrieveThreadPriority, 0);
    i("MaxWordInPrefix", &g_nMaxWordInPrefix, 3);
    i("MaxWordInPhrase", &g_nMaxWordInPhrase, 4);
    iMT("EnableInIE", &g_bEnableInIE, 0, 1);
    i("IncludeAllExcept", &s_bIncludeAllExcept, 1);
    i("SelectWordKeyOption", &g_nSWKeyOption, 0);
    i("PrevKey", &g_nPrevKey, 0);
    i("NextKey", &g_nNextKey, 0);
    i("PgupKey", &g_nPgupKey, 0);
    i("PgdnKey", &g_nPgdnKey, 0);
    s("WordConcatenators", &g_strWordConcatenators, " &-");
    i("LearnPhrase", &g_bLearnPhrase, 0);
    i("LearnPhraseImport", &m_bLearnPhraseImport, 1);
    i("PromptNoDelimiter", &g_bPromptNoDelimiter, 1);
    // The MT default of one product is decided in LoadSettings.
    i("g_bLearnWord", &g_bLearnWord, 1);
    add("FreqVsTime", SETTING_FLOAT, &g_fFreqVsTime, 0, 0, "0.5", "-1");
    shared("NonDelimiter", &m_strNonDelimiter, NonDelimiter, sizeof NonDelimiter, "_'\x92", "_-'\x92");
    shared("WindowIncluded", &m_strWindowIncluded, WindowIncluded, sizeof WindowIncluded, "");
    shared("WindowExcluded", &m_strWindowExcluded, WindowExcluded, sizeof WindowExcluded, "");
    shared("ProcessTitleIncluded", &m_strProcessIncluded, ProcessIncluded, sizeof ProcessIncluded,
           "winword.exe;outlook.exe;Microsoft Outlook;foxmail.exe;Notepad;Microsoft Visual Studio;"
           "OpenOffice.org Writer;Microsoft Word;WordPad;WordPerfect");
    shared("ProcessTitleExcluded", &m_strProcessExcluded, ProcessExcluded, sizeof ProcessExcluded, "");
    shared("PathIncluded", &m_strPathIncluded, PathIncluded, sizeof PathIncluded, "");
    shared("PathExcluded", &m_strPathExcluded, PathExcluded, sizeof PathExcluded, "");
    shared("ForceEnable", &m_strForceEnable, g_szForceEnable, sizeof g_szForceEnable,
           "OpenOffice.org Writer;thunderbird.exe");
    i("ToggleKey", &m_nToggleKey, 0x274);
    i("LearnKey", &m_nLearnKey, 0x73);
    i("ClrBufKey", &m_nClrBufKey, 0x77);
    i("SpecialFunKey", &m_nSpecialFunKey, 0x75);
    i("QuickPasteKey", &m_nQuickPasteKey, 0x656);
    i("QuickDeleteKey", &m_nQuickDeleteKey, 0x22E);
    i("QuickRunKey", &m_nQuickRunKey, 0x652);
    i("ExpandAliasKey", &m_nExpandAliasKey, 0);
    notSaved(i("BrowseClipKey", &m_nBrowseClipKey, 0x642));
    add("CopyAppendStr", SETTING_ENCODED, &m_strCopyAppendStr, 0, 0, "%0d%0a");
    u("CompWordKey", &CompWordKey, 32);
    i("RunAtStartup", &m_bRunAtStartup, 1);
    i("PromptNum", &g_nPromptNum, 12);
    i("NumInPage", &m_nNumInPage, 6);
    i("MinLength", &g_nMinLength, 6);
    i("MinPrefixLen", &g_nMinPrefixLen, 1);
    i("MinSHPrefixLen", &g_nMinSHPrefixLen, 1);
    i("MinPromptLen", &g_nMinPromptLen, 1);
    i("MinPhrasePromptCount", &g_nMinPhrasePromptCount, 3);
    i("MinPhraseAddCount", &g_nMinPhraseAddCount, 3);
    i("g_nMinWordAddCount", &g_nMinWordAddCount, 3);
    s("Email", &m_strUserEmail, "");
    i("3DLook", &m_b3DLook, 1);
    s("LibPath", &g_strLibPath, "");
    s("UserLibPath", &m_strUserLibPath, "user.lib");
    s("UserLibraryPath", &m_strUserLibraryPath, "user_en.lib");
    return t;
}

bool CAppSettings::IsMT() { return ReadCustomTarget() == "MT"; }

CString CAppSettings::ReadCustomProductName() { return m_iniCustom.GetString("ProductName", "Lexanto", "general"); }

CString CAppSettings::ReadCustomTarget() { return m_iniCustom.GetString("target", "General", "general"); }

CString CAppSettings::DataFile(const char *name) { return GetAppDataFolder() + name; }

void CAppSettings::LoadSettings()
{
    const bool mt = IsMT();
    LoadPromptFont();
    LoadTopWords();

    SettingsStore store;
    m_bSettingsReadFailed = store.ReadFailed();
    const std::vector<SettingDef> table = Table();
    for (size_t n = 0; n < table.size(); ++n) {
        const SettingDef &def = table[n];
        SettingDef adjusted = def;
        if (std::strcmp(def.key, "g_bLearnWord") == 0 && mt && g_strProductName == "Typorix")
            adjusted.defInt = adjusted.defIntMT = 0;
        // "ResortAllLibrary" asks for a re-sort at one start; it is kept as
        // it is until a start re-sorts the libraries.
        ReadSetting(adjusted, mt, &store);
    }

    ++m_nRunCount;
    g_bFullSHMatch = 0;
    g_nLastComp = 0;
    g_bClearAtSwitch = 1;
    g_nPhraseAckCount = 3;
    int width = 0, height = 0;
    GetScreenSize(width, height);
    if (m_nPromptPointX < 0 || m_nPromptPointX >= width - 20)
        m_nPromptPointX = 0;
    if (m_nPromptPointY < 0 || m_nPromptPointY >= height - 20)
        m_nPromptPointY = 0;
    if (m_bFirstRun) {
        m_bShowTip = 1;
        m_nTipNum = -1;
    }
    m_bShowToolBar = 0;
    g_strAutoGenRule.Replace('-', '~');
    if (g_nMinPrefixLen < 1)
        g_nMinPrefixLen = 1;
    // The candidate lists hold MAX_CANDIDATES entries, and a page needs one.
    g_nPromptNum = ClampInt(g_nPromptNum, 1, MAX_CANDIDATES);
    if (m_nNumInPage < 1)
        m_nNumInPage = 1;
    g_bDetectSOW = 0;
    g_nPromptMode = 0;
    g_nSendKey = 0;
}

BOOL CAppSettings::LoadPromptSettings(BOOL save)
{
    const std::vector<SettingDef> table = Table();
    if (!save) {
        const bool mt = IsMT();
        SettingsStore store;
        for (int n = 0; n < PROMPT_KEY_COUNT; ++n)
            ReadSetting(table[n], mt, &store);
        return TRUE;
    }
    if (m_bSettingsReadFailed)
        return FALSE;
    SettingsStore store;
    std::vector<CString> failed;
    for (int n = 0; n < PROMPT_KEY_COUNT; ++n)
        WriteSetting(table[n], store, failed);
    return FinishSave(store, failed);
}

BOOL CAppSettings::SaveSettings()
{
    SaveTopWords();
    if (m_bSettingsReadFailed) {
        // The values in memory are defaults standing in for a file that could
        // not be read; writing them would lose the user's settings.
        ShowMessage("Can't save setting:" + GetAppProfileName() +
                    " could not be read at start-up and is left as it is.\r\nPlease report to the author!");
        return FALSE;
    }

    const std::vector<SettingDef> table = Table();
    SettingsStore store;
    std::vector<CString> failed;
    for (const SettingDef &def : table)
        if (def.saved)
            WriteSetting(def, store, failed);
    // A list that can't be enciphered is not stored: the file keeps the one it has.
    CString passArray;
    if (BuildPassArray(passArray))
        store.WriteString("PassArray", passArray);
    store.WriteInt("EnablePrompt", bEnablePrompt);
    store.WriteInt("PromptHorz", m_bPromptHorz);
    store.WriteInt("PhraseAckCount", g_nPhraseAckCount);
    store.WriteInt("ShowToolBar", m_bShowToolBar);
    store.WriteInt("DetectSOW", g_bDetectSOW);
    return FinishSave(store, failed);
}

void CAppSettings::LoadPromptFont()
{
    const CString hex = GetProfileStringEx("PromptFont", "", false, kSection);
    bool valid = hex.GetLength() == 2 * static_cast<int>(sizeof(PromptFontData));
    for (int n = 0; valid && n < hex.GetLength(); ++n)
        valid = IsHexDigit(static_cast<unsigned char>(hex[n]));
    if (valid) {
        unsigned char bytes[sizeof(PromptFontData)];
        HexToBytes(hex, bytes);
        std::memcpy(&g_lfPromptFont, bytes, sizeof bytes);
        g_lfPromptFont.lfFaceName[sizeof g_lfPromptFont.lfFaceName - 1] = 0;
        return;
    }
    std::memset(&g_lfPromptFont, 0, sizeof g_lfPromptFont);
    std::strcpy(g_lfPromptFont.lfFaceName, "MS Sans Serif");
    g_lfPromptFont.lfHeight = IsMT() ? -16 : -13;
}

BOOL CAppSettings::SavePromptFont()
{
    if (m_bSettingsReadFailed)
        return FALSE;
    char hex[2 * sizeof(PromptFontData) + 1];
    BytesToHex(reinterpret_cast<const unsigned char *>(&g_lfPromptFont), sizeof(PromptFontData), hex);
    return WriteProfileStringS("PromptFont", hex);
}

CString CAppSettings::GetUserLibPath()
{
    const CString path = m_strUserLibraryPath;
    return IsRelativePath(path) ? JoinPath(GetLibrariesFolder(), path) : path;
}

CString CAppSettings::GetOldUserLibPath()
{
    const CString path = m_strUserLibPath;
    if (!IsRelativePath(path))
        return path;
#ifdef _WIN32
    return JoinPath(ResolveLibPath(), path);
#else
    return JoinPath(g_strLibPath.IsEmpty() ? GetProgramFolder() : g_strLibPath, path);
#endif
}

namespace {
void AddLibrary(CLibFile (&table)[MAX_LIBRARIES], int &count, const CString &path, bool evenWhenMissing)
{
    if (count >= MAX_LIBRARIES || (!evenWhenMissing && !FileExists(path)))
        return;
    table[count++].SetPath(path);
}

// Every line of a text with LF line ends, whatever its length.
std::vector<CString> SplitLines(const CString &text)
{
    std::vector<CString> lines;
    int start = 0;
    while (start < text.GetLength()) {
        int end = text.Find('\n', start);
        if (end < 0)
            end = text.GetLength();
        lines.push_back(text.Mid(start, end - start));
        start = end + 1;
    }
    return lines;
}

CString LibraryPath(const char *kind, const CString &name, const char *extension)
{
    return JoinPath(JoinPath(GetLibrariesFolder(), kind), name + extension);
}
}  // namespace

void CAppSettings::LoadActiveLibraries()
{
    for (CLibFile &library : g_WordLibs)
        library.SetPath("");
    for (CLibFile &library : g_ShLibs)
        library.SetPath("");
    g_nWordLibCount = 0;
    g_nShLibCount = 0;
    g_pUserLib = nullptr;
    if (g_bEnableUserLib) {
        g_WordLibs[g_nWordLibCount++].SetPath(GetUserLibPath());
        g_pUserLib = &g_WordLibs[0];
    }

    CString text;
    const IniFileRead read = ReadIniFileText(DataFile("sellib.ini"), text);
    m_bSelLibReadFailed = read == IniFileRead::Failed;
    if (read == IniFileRead::Read) {
        // Sections are known by their headers; lines before the first header
        // or under another header are ignored.
        int section = -1;
        for (CString line : SplitLines(text)) {
            line.Trim();
            if (line.IsEmpty())
                continue;
            if (line[0] == '[') {
                section = line.CompareNoCase("[langlib]") == 0   ? 0
                          : line.CompareNoCase("[proflib]") == 0 ? 1
                          : line.CompareNoCase("[shlib]") == 0   ? 2
                                                                 : -1;
                continue;
            }
            if (section == 0)
                AddLibrary(g_WordLibs, g_nWordLibCount, LibraryPath("langlib", line, ".lib"), false);
            else if (section == 1)
                AddLibrary(g_WordLibs, g_nWordLibCount, LibraryPath("proflib", line, ".lib"), false);
            else if (section == 2)
                AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", line, ".slb"), false);
        }
        return;
    }

    const CString target = ReadCustomTarget();
    if (target == "General") {
        AddLibrary(g_WordLibs, g_nWordLibCount, LibraryPath("langlib", "American English", ".lib"), false);
        AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", "Personal Shorthands", ".slb"), true);
        AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", "Email Acronyms", ".slb"), false);
        AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", "Demo", ".slb"), false);
    } else if (target == "MT") {
        AddLibrary(g_WordLibs, g_nWordLibCount, LibraryPath("proflib", "Typorix Medical Vocab 2.2", ".lib"), false);
        AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", "Personal Shorthands", ".slb"), true);
        AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", "Typorix Medical Shorthands 1.0", ".slb"), false);
        AddLibrary(g_ShLibs, g_nShLibCount, LibraryPath("shlib", "Typorix Editing Macros 1.0", ".slb"), false);
    }
}

BOOL CAppSettings::SaveActiveLibraries()
{
    if (m_bSelLibReadFailed)
        return FALSE;  // the set in memory is the default set, not the user's
    // Each word library goes under the header of its own folder, so that the
    // next load finds it there again.
    CString lang, prof, sh;
    for (int n = 0; n < WordLibCount(); ++n) {
        const CLibFile &library = g_WordLibs[n];
        if (&library == g_pUserLib)
            continue;
        (library.GetLibCategory() == "langlib" ? lang : prof) += library.GetLibName() + "\n";
    }
    for (int n = 0; n < ShLibCount(); ++n)
        sh += g_ShLibs[n].GetLibName() + "\n";
    const CString text = "[langlib]\n" + lang + "\n[proflib]\n" + prof + "\n[shlib]\n" + sh;
    return WriteTextFile(DataFile("sellib.ini"), text) ? TRUE : FALSE;
}

void CAppSettings::LoadTopWords()
{
    CString text;
    const IniFileRead read = ReadIniFileText(DataFile("topwords.txt"), text);
    m_bTopWordsReadFailed = read == IniFileRead::Failed;
    if (read != IniFileRead::Read)
        return;
    for (CString line : SplitLines(text)) {
        line.Trim();
        const int equals = line.Find('=');
        if (equals < 0)
            continue;
        g_mapTopWords[line.Left(equals).GetString()] = line.Mid(equals + 1);
    }
}

BOOL CAppSettings::SaveTopWords()
{
    if (m_bTopWordsReadFailed)
        return FALSE;  // the file holds entries that were never read
    CString text;
    for (const auto &entry : g_mapTopWords)
        text += CString(entry.first.c_str()) + "=" + entry.second + "\n";
    return WriteTextFile(DataFile("topwords.txt"), text) ? TRUE : FALSE;
}

void CAppSettings::SetProfileLocation(int where)
{
    if (where == 0)
        SetAppProfile(m_strCompanyName, g_strProductName);
    else
        SetAppProfile("", GetSettingsFilePath());
}
