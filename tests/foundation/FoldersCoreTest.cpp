#include <gtest/gtest.h>

#include "Folders.h"

TEST(FoldersCore, SpecialFolderKeywords)
{
    const struct {
        const char *keyword;
        int csidl;
    } cases[] = {
        {"progam files", 38}, {"prog", 38}, {"program files", -1}, {"desktop", 0}, {"Desktop", -1},
        {"mydoc", 5},         {"my documents", 5}, {"recbin", 10}, {"my pictures", 39}, {"", -1},
        {"common startup", 24}, {"cstartup", 24},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetSpecialFolderCsidl(c.keyword), c.csidl) << c.keyword;
}

TEST(FoldersCore, ProgramFolderStepsOutOfBuildOutputFolders)
{
    const struct {
        const char *module;
        const char *folder;
    } cases[] = {
        {"C:\\Work\\Proj\\Release\\x.exe", "C:\\Work\\Proj\\"},
        {"C:\\Apps\\Debugger Tools\\x.exe", "C:\\Apps\\"},  // "contains", not "equals"
        {"C:\\Work\\DEBUG\\x.exe", "C:\\Work\\"},
        {"C:\\Apps\\bin\\x.exe", "C:\\Apps\\bin\\"},
        {"C:\\x.exe", "C:\\"},
        {"/home/u/build/win64/bin/x.exe", "/home/u/build/win64/bin/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ProgramFolderFromModulePath(c.module), c.folder) << c.module;
}
