// Test entry for tests that use the program's windows: they are created once, as the program does.
#include <gtest/gtest.h>

#include "Forms.h"
#include "Startup.h"
#include "TestSupport.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application->Title = "Velmora!";
    CreateApplicationForms();
    // A box that no test expects fails that test at once instead of waiting for a person.
    Application->MessageBoxResponder = FailOnUnexpectedBox;
    return RUN_ALL_TESTS();
}
