#pragma once
// The font of the memo tests that measure glyphs or read pixels: DejaVu Sans Mono, from
// the fonts-dejavu-core package that setup-deps.sh installs. Asked for by name, so that
// neither the widths nor the pixels follow the fonts a machine happens to have (the
// memo's own default, "Arial", is whatever sans-serif font the machine finds). Every
// letter of it is one average character wide.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QString>

inline QFont MemoTestFont() {
  QFont f(QStringLiteral("DejaVu Sans Mono"));
  f.setStyleHint(QFont::Monospace);
  f.setPointSize(10);
  return f;
}

// A proportional font from the same package: its bold and its larger sizes are wider
// than the plain font, blanks included.
inline QFont MemoTestPropFont(int Points = 10) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(Points);
  return f;
}

// Fails the test when the font is not there rather than measuring another one.
inline void ExpectMemoTestFont(const QFont& F) {
  ASSERT_EQ(QFontInfo(F).family(), QStringLiteral("DejaVu Sans Mono")) << "fonts-dejavu-core is not installed";
}
