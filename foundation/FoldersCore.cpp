#include "Folders.h"

#include <cstring>

#include "PathText.h"

CString g_strProductName = "Lexanto";

namespace {
struct SpecialFolderKeyword {
    const char *keyword;
    const char *shortForm;  // nullptr when the keyword has none
    int csidl;
};

// "progam files" is the keyword as users have always typed it in Quick Run.
const SpecialFolderKeyword kSpecialFolders[] = {
    {"my computer", "mycom", 17},
    {"desktop", nullptr, 0},
    {"control panel", "ctrl", 3},
    {"startup", nullptr, 7},
    {"history", nullptr, 34},
    {"my documents", "mydoc", 5},
    {"recent documents", "recdoc", 8},
    {"my profile", "myprof", 40},
    {"network neighborhood", "nethood", 18},
    {"cache", nullptr, 32},
    {"cookies", nullptr, 33},
    {"printers", nullptr, 4},
    {"progam files", "prog", 38},
    {"windows", nullptr, 36},
    {"system", nullptr, 37},
    {"start menu", "smenu", 11},
    {"common start menu", "csmenu", 22},
    {"common startup", "cstartup", 24},
    {"recycle bin", "recbin", 10},
    {"my pictures", "mypic", 39},
};
}  // namespace

int GetSpecialFolderCsidl(const char *keyword)
{
    if (!keyword)
        return -1;
    for (const SpecialFolderKeyword &entry : kSpecialFolders)
        if (std::strcmp(keyword, entry.keyword) == 0 || (entry.shortForm && std::strcmp(keyword, entry.shortForm) == 0))
            return entry.csidl;
    return -1;
}

CString ProgramFolderFromModulePath(const char *modulePath)
{
    CString folder = GetParentFolder(modulePath);
    CString name = GetFileName(folder);
    name.MakeLower();
    if (name.Find("debug") >= 0 || name.Find("release") >= 0)
        folder = GetParentFolder(folder);
    return AddTrailingSeparator(folder);
}
