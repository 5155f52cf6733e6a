#include "HelpLinks.h"

#include <cstring>

#include "Files.h"
#include "Folders.h"
#include "PathText.h"

CString FindHelpFile(const char *programFolder, const char *fileTitle)
{
    const CString name = CString(fileTitle) + ".chm";
    const CString inProgramFolder = AddTrailingSeparator(programFolder) + name;
    if (FileExists(inProgramFolder))
        return inProgramFolder;
    return JoinPath(JoinPath(programFolder, "help"), name);
}

CString OpenWebLink(const char *keyword)
{
    const CString key = keyword ? keyword : "";
    if (key == "homepage")
        return g_strProductName == "Typorix" ? "http://www.typorix.com/" : "http://www.lexanto.com/";
    if (key == "download")
        return "http://www.lexanto.com/download/LexantoSetup.exe";
    if (key == "libcenter")
        return "http://www.lexanto.com/liblist.htm";
    if (key == "forum")
        return "http://www.corvalen.com/forum";
    return CString();
}

CString ApplyBranding(const char *title, const char *productName, const char *companyName)
{
    CString text = title ? title : "";
    text.Replace("Lexanto", productName ? productName : "");
    text.Replace("Corvalen", companyName ? companyName : "");
    return text;
}
