// The frame of every control of the shipped main window, at several window
// sizes, against the frames the layout gave before its re-layout walk was
// narrowed to the siblings a change can reach. QV_WRITE_FRAMES=<file> writes
// the table anew (only from a layout known to be right).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "MainWindowSkinApplication.h"

using namespace QV;

namespace {

void Dump(const LControl& control, const std::string& path, std::ostringstream& out)
{
    const DoubleRect& f = control.GetFrame();
    char line[160];
    std::snprintf(line, sizeof line, " %.17g %.17g %.17g %.17g\n", f.x, f.y, f.width, f.height);
    out << path << line;
    const ChildControlList& children = control.GetChildren();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        const LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        Dump(*child, path + "/" + child->GetName().ToUtf8(), out);
    }
}

std::string Expected()
{
    std::ifstream in(SHIPPED_SKIN_FRAMES);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

// Sizes the window grows to, shrinks to and returns to, so later siblings
// follow in both directions and nothing keeps a stale frame.
TEST(ShippedSkinLayoutTest, EveryFrameOfTheMainWindowStaysAsItWas)
{
    MainWindowSkinApplication app;
    ScopedControlApplication scope(app);
    ASSERT_GE(app.registered, 0);
    ASSERT_GE(app.loaded, 0);
    RCPtr<IControlDescriptor> descriptor = app.skin->FindControlDescriptor(u"mainControl");
    ASSERT_TRUE(descriptor);
    RCPtr<LControl> top = app.skin->CreateControl(descriptor, nullptr);
    ASSERT_TRUE(top);
    std::ostringstream frames;
    const DoubleRect sizes[] = {{0, 0, 1024, 768}, {0, 0, 1600, 1000}, {0, 0, 640, 480}, {0, 0, 1024, 768}};
    for (const DoubleRect& size : sizes) {
        (void)app.LayOut(*top, size.width, size.height);
        frames << "== " << size.width << "x" << size.height << "\n";
        Dump(*top, top->GetName().ToUtf8(), frames);
    }
    if (const char* file = std::getenv("QV_WRITE_FRAMES")) std::ofstream(file) << frames.str();
    const std::string expected = Expected();
    ASSERT_FALSE(expected.empty());
    std::istringstream want(expected), got(frames.str());
    std::string a, b;
    int line = 0;
    while (std::getline(want, a)) {
        ++line;
        ASSERT_TRUE(std::getline(got, b)) << "missing from line " << line << ": " << a;
        ASSERT_EQ(b, a) << "line " << line;
    }
    EXPECT_FALSE(std::getline(got, b)) << "more frames than before: " << b;
    top->Close();
}
