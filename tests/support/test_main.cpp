#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Text is drawn through Qt, and the Qt tests need widgets: every test program runs inside one
// application object, on the offscreen platform unless the environment chose another.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
