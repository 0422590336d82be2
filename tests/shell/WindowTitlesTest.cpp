// Window titles as the window system shows them. A widget's windowTitle() is only
// what the program asked for; the title bar shows what Qt's platform window makes of
// it, and Qt appends " — " + the application display name when one is set. These
// tests look at that decorated title with Qt's own formatter, the one its X11 and
// Wayland windows call.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWindow>
#include <dlfcn.h>

#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "shell/AboutPelmor.h"
#include "shell/PelmorMain.h"
#include "tests/shell/GuiFixture.h"

namespace {
// QPlatformWindow::formatWindowTitle(title, separator), looked up at run time: Qt
// exports it but ships its header only with the private development files.
using TFormatTitle = QString (*)(const QString&, const QString&);
TFormatTitle PlatformFormatter() {
  return reinterpret_cast<TFormatTitle>(dlsym(RTLD_DEFAULT, "_ZN15QPlatformWindow17formatWindowTitleERK7QStringS2_"));
}

// The separator Qt's X11 windows put between a caption and the display name.
const QString kSeparator = QString::fromUtf8(" \xE2\x80\x94 ");

class WindowTitlesTest : public TGuiFixture {
 protected:
  // Shows W and gives the title its platform window received and the title the
  // window system displays.
  struct TTitles {
    std::string Platform, Shown;  // plain strings: readable in a failure report
  };
  TTitles TitlesOf(QWidget* W) {
    W->show();
    QWindow* handle = W->windowHandle();
    EXPECT_NE(handle, nullptr);
    TTitles t;
    if (!handle) return t;
    t.Platform = handle->title().toStdString();
    t.Shown = Format(handle->title(), kSeparator).toStdString();
    W->hide();
    return t;
  }
  TFormatTitle Format = PlatformFormatter();
};
}  // namespace

TEST_F(WindowTitlesTest, WindowSystemShowsEachCaptionExactly) {
  ASSERT_NE(Format, nullptr) << "Qt's title formatter was not found";

  // The application has no display name of its own: it follows the application name.
  const QString appName = QCoreApplication::applicationName();
  EXPECT_EQ(appName.toStdString(), "Pelmor");
  QCoreApplication::setApplicationName(QStringLiteral("probe"));
  EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(), "probe");
  QCoreApplication::setApplicationName(appName);

  Pelmor->New1Click();
  const std::string mainCaption = (QStringLiteral("Pelmor...") + Dir.filePath("Untitled.txt")).toStdString();
  ASSERT_EQ(Pelmor->windowTitle().toStdString(), mainCaption);
  TTitles main = TitlesOf(Pelmor);
  EXPECT_EQ(main.Platform, mainCaption);
  EXPECT_EQ(main.Shown, mainCaption);

  ASSERT_NE(CoOccurrence, nullptr);
  TTitles results = TitlesOf(CoOccurrence);
  EXPECT_EQ(results.Platform, "Pelmor -- Co-occurrence Results");
  EXPECT_EQ(results.Shown, "Pelmor -- Co-occurrence Results");

  ASSERT_NE(PelmorAbout, nullptr);
  TTitles about = TitlesOf(PelmorAbout);
  EXPECT_EQ(about.Platform, "Version 7.71");
  EXPECT_EQ(about.Shown, "Version 7.71");

  // The check can fail: with a display name the title bar reads differently. (Qt
  // keeps a display name once set; an empty one appends nothing.)
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Pelmor"));
  EXPECT_EQ(TitlesOf(PelmorAbout).Shown, (QStringLiteral("Version 7.71") + kSeparator + "Pelmor").toStdString());
  QGuiApplication::setApplicationDisplayName(QString());
  EXPECT_EQ(TitlesOf(PelmorAbout).Shown, "Version 7.71");
}
