// Test entry for tests that use the program's windows: they are created once, as the program does.
#include <gtest/gtest.h>

#include "Forms.h"
#include "Startup.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Application->Title = "Velmora!";
    CreateApplicationForms();
    return RUN_ALL_TESTS();
}
