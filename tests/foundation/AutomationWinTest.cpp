#include "Automation.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <oleauto.h>

// The system's file-system scripting object stands in for an automated
// program: a class with methods, properties and sub-objects.
TEST(Automation, CallsAndPropertiesByName)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        IDispatch *object = nullptr;
        EXPECT_FALSE(GetRunningObject(L"No.Such.ProgId", &object));
        EXPECT_FALSE(GetRunningObject(L"Scripting.FileSystemObject", &object));  // never registered as running
        ASSERT_TRUE(CreateRunningObject(L"Scripting.FileSystemObject", &object));

        VARIANT arguments[2];
        arguments[0].vt = VT_BSTR;
        arguments[0].bstrVal = SysAllocString(L"C:\\folder");
        arguments[1].vt = VT_BSTR;
        arguments[1].bstrVal = SysAllocString(L"name.txt");
        VARIANT result;
        ASSERT_EQ(CallDispMethod(object, L"BuildPath", arguments, 2, &result), S_OK);
        ASSERT_EQ(result.vt, VT_BSTR);
        EXPECT_STREQ(result.bstrVal, L"C:\\folder\\name.txt");
        VariantClear(&result);
        VariantClear(&arguments[0]);
        VariantClear(&arguments[1]);

        ASSERT_EQ(GetDispPropertyPath(object, L"Drives.Count", &result), S_OK);
        VARIANT count;
        VariantInit(&count);
        ASSERT_EQ(VariantChangeType(&count, &result, 0, VT_I4), S_OK);
        EXPECT_GE(count.lVal, 1);
        VariantClear(&result);
        EXPECT_NE(GetDispProperty(object, L"NoSuchMember", &result), S_OK);
        EXPECT_NE(GetDispPropertyPath(object, L"Drives.NoSuchMember", &result), S_OK);
        object->Release();
    }
    CoUninitialize();
}
