// The program's configuration: every key of section "Settings" of the
// settings file with its type, defaults and the variable it feeds, the
// routines that load and save them, the prompt font, the branding file
// "custom.ini", the active-library list "sellib.ini" and "topwords.txt".
// Portable: the values go to the engine's globals, the hook library's shared
// variables and the members of CAppSettings, which the application object
// owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CString.h"
#include "IniFile.h"
#include "wintypes.h"

// The prompt font, laid out byte for byte as the system's 8-bit LOGFONT (60
// bytes), so the Windows code copies it into one and the settings file holds
// the same bytes.
struct PromptFontData {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char lfFaceName[32];
};
static_assert(sizeof(PromptFontData) == 60, "the stored prompt font is 60 bytes");
extern PromptFontData g_lfPromptFont;

// How a key is stored and what it feeds.
enum SettingType {
    SETTING_INT,      // decimal integer into an int
    SETTING_UINT,     // decimal integer into a UINT (the hook's key forms)
    SETTING_CHAR,     // an integer stored as one byte into a char
    SETTING_STRING,   // a string into a CString
    SETTING_ENCODED,  // a string stored percent-encoded; a '+' in the file reads as a space
    SETTING_QUOTED,   // a string stored between double quotes
    SETTING_FLOAT,    // a number written with "%g" into a float
    SETTING_SHARED,   // a string into a CString, copied into a shared array as far as it fits
};
enum SettingRoute {
    ROUTE_PROFILE,  // the profile functions, written back by SaveSettings in one go
    ROUTE_SETTING,  // GetSettingInt/WriteSettingInt and friends, one file access per call
};

struct SettingDef {
    const char *key;
    SettingType type;
    SettingRoute route;
    bool saved;          // written back by SaveSettings
    void *var;           // int, UINT, char, float or CString, as the type says
    char *shared;        // SETTING_SHARED: the shared array and its capacity
    size_t sharedSize;
    int defInt, defIntMT;
    const char *defStr, *defStrMT;  // string keys; for SETTING_ENCODED the stored form
};

// The value of a setting's variable as a text, and the reverse (ints as
// decimal, strings as they are); for shared strings the text is the value
// that a save writes (see SharedValueToSave).
CString SettingValueText(const SettingDef &def);
void SetSettingValueText(const SettingDef &def, const char *text);

// A shared array holds only a cut copy of a long value; the full value is
// kept beside it. What to save: the full value while the array still holds
// its cut copy, or the array's text once someone changed the array directly
// (the options pages do).
CString SharedValueToSave(const CString &full, const char *shared, size_t capacity);

CString GetSettingsFilePath();  // data folder + product name + ".ini"

// The profile functions on section "Settings". A failing writer tells the
// user which key it could not save and returns FALSE.
int GetProfileIntS(const char *key, int defaultValue);
CString GetProfileStringS(const char *key, const char *defaultValue);
BOOL WriteProfileIntS(const char *key, int value);
BOOL WriteProfileStringS(const char *key, const char *value);

// The screen size the fixed prompt position is checked against.
void GetScreenSize(int &width, int &height);

class CAppSettings {
public:
    CAppSettings();

    // The whole table in reading order: the prompt keys first (the first
    // PROMPT_KEY_COUNT entries), then the rest.
    enum { PROMPT_KEY_COUNT = 10 };
    std::vector<SettingDef> Table();

    // Loads every key: the prompt font, the top words, the prompt keys, then
    // the others. A missing file or key gives the defaults of the target.
    void LoadSettings();
    // Writes every saved key back (one write of the whole file); a failure is
    // reported once. Nothing is written when the load could not read the
    // settings file: its defaults must not replace what the file holds.
    BOOL SaveSettings();
    // 0: load the prompt keys, 1: save them.
    BOOL LoadPromptSettings(BOOL save);
    void LoadPromptFont();
    BOOL SavePromptFont();

    // Where the application's profile lives: 0 the registry (under the
    // company name and product name), 1 the settings file.
    void SetProfileLocation(int where);

    CString ReadCustomProductName();
    CString ReadCustomTarget();
    bool IsMT();  // the target is exactly "MT"

    // "sellib.ini" in the data folder into the library tables and back.
    void LoadActiveLibraries();
    BOOL SaveActiveLibraries();
    // "topwords.txt" in the data folder into g_mapTopWords and back.
    void LoadTopWords();
    BOOL SaveTopWords();

    CString GetUserLibPath();
    CString GetOldUserLibPath();


    CIniFile m_iniCustom;          // "custom.ini" in the program folder
    CString m_strCompanyName;
    BOOL m_bFirstRun = FALSE;
    bool m_bSettingsReadFailed = false;  // the settings file exists but could not be read
    bool m_bSelLibReadFailed = false;
    bool m_bTopWordsReadFailed = false;

    // Prompt keys.
    int m_bCenterHorizontalPromptBox = 1;
    CString m_strQuickAddTargetLib;
    int m_bImportAlwaysKeepCaps = 0;
    int m_nPromptBoxMargin = 1;
    CString m_strShorthandListDelimiters;

    int m_bResortAllLibrary = 1;
    int m_bAppendSpaceOnCompletion = 0;
    int m_nRunCount = 0;
    int m_nMinBestMatchLen = 4;
    int m_bDisableWithIME = 0;
    int m_bAutoSizeVPrompt = 1;
    int m_nHPromptWidth = 500;
    int m_nVPromptWidth = 100;
    int m_bNoPromptDlg = 0;
    int m_nMSWordDelay = 100;
    int m_nSendKeyDelay = 0;
    CString m_strAppendStr;
    int m_bSaveClipHis = 1;
    int m_bAutoHidePrompt = 1;
    int m_nPromptPointX = 0;
    int m_nPromptPointY = 0;
    int m_bShutdownConfirm = 1;
    int m_nPromptPosition = 1;
    int m_bShowGadget = 1;
    int m_nMaxPromptWidth = 300;
    int m_bReversePaste = 1;
    int m_nWPLeft = 0;
    int m_nWPTop = 0;
    int m_bShowTip = 1;
    int m_nTipNum = -1;
    int m_bEnableClipExt = 1;
    int m_bShowItemNumber = 1;
    int m_bNoPromptDigit = 1;
    int m_nForceSHKey = 0x71;
    CString m_strLineHeader;
    int m_nCopyType = 0;
    int m_nCopyDelay = 100;
    int m_bExpandClipListDlg = 1;
    int m_bEnableClipCap = 1;
    int m_bDisableSmallEdit = 1;
    int m_bAltANSI = 0;
    int m_crSelectedText = 0xFFFFFF;
    int m_crSelectedBack = 0xFF0000;
    int m_crTextColor = 0;
    int m_crBackColor = 0xFFFFFF;
    int m_nRetrieveThreadPriority = 0;
    int m_bLearnPhraseImport = 1;
    // Full values of the strings the hook library holds in shared arrays.
    CString m_strNonDelimiter;
    CString m_strWindowIncluded;
    CString m_strWindowExcluded;
    CString m_strProcessIncluded;
    CString m_strProcessExcluded;
    CString m_strPathIncluded;
    CString m_strPathExcluded;
    CString m_strForceEnable;
    // Old hot-key values.
    int m_nToggleKey = 0x274;
    int m_nLearnKey = 0x73;
    int m_nClrBufKey = 0x77;
    int m_nSpecialFunKey = 0x75;
    int m_nQuickPasteKey = 0x656;
    int m_nQuickDeleteKey = 0x22E;
    int m_nQuickRunKey = 0x652;
    int m_nExpandAliasKey = 0;
    int m_nBrowseClipKey = 0x642;
    CString m_strCopyAppendStr;
    int m_bRunAtStartup = 1;
    int m_nNumInPage = 6;
    CString m_strUserEmail;
    int m_b3DLook = 1;
    CString m_strUserLibPath;
    CString m_strUserLibraryPath;

    // Saved without being read here.
    int m_bPromptHorz = 1;
    int m_bShowToolBar = 0;

private:
    CString DataFile(const char *name);
};

// The failures of one save in one message: the file when it could not be
// written at all (file not empty), else the keys that could not be stored.
void ReportSaveFailure(const std::vector<CString> &failedKeys, const char *file);
