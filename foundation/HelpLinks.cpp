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

CString BuildSubscriptionPage(const char *pageTemplate, const char *email)
{
    CString address;
    for (const char *c = email ? email : ""; *c; ++c) {
        switch (*c) {
        case '&': address += "&amp;"; break;
        case '<': address += "&lt;"; break;
        case '>': address += "&gt;"; break;
        case '"': address += "&quot;"; break;
        case '\'': address += "&#39;"; break;
        default: address += *c; break;
        }
    }
    CString page = pageTemplate ? pageTemplate : "";
    // The name first: an address that happens to hold the word stays as typed.
    page.Replace("ContactName", "corvalen");
    page.Replace("UserEmail", address);
    return page;
}

bool WriteSubscriptionPage(const char *path, const char *pageTemplate, const char *email)
{
    if (!pageTemplate || !*pageTemplate)
        return false;
    return WriteTextFile(path, BuildSubscriptionPage(pageTemplate, email));
}
