// HTML Help is loaded from hhctrl.ocx; a help file that is not there is
// reported, not shown.
#include "Win32TestSupport.h"
#include "platform/win32/HtmlHelp.h"

#include <gtest/gtest.h>

namespace puente::win32 {
namespace {

TEST(Win32HtmlHelp, TheViewerLoads) { EXPECT_TRUE(HtmlHelpAvailable()); }

TEST(Win32HtmlHelp, AMissingFileIsReported) {
    win32test::ScratchFolder folder;
    const std::u16string missing = folder.File(u"ZELTA.chm");
    for (const int context : {0, 3}) {
        SCOPED_TRACE(context);
        EXPECT_NE(ShowHtmlHelp(win32test::Wide(missing), context), kOk);
    }
}

}  // namespace
}  // namespace puente::win32
