#pragma once
// A locale whose decimal mark is a comma, set up by the test itself so that tests of
// number texts never depend on the locales a machine happens to have installed: the
// German locale is compiled from the system's locale sources (the "locales" package,
// which setup-deps.sh installs) into a temporary folder, LOCPATH points there, and
// both the C and the C++ global locale are switched to it while the object lives.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <locale>
#include <optional>
#include <string>
#include <system_error>

class TCommaLocale {
 public:
  TCommaLocale() {
    namespace fs = std::filesystem;
    std::error_code ec;
    char pattern[] = "/tmp/pelmor-locale-XXXXXX";
    if (!mkdtemp(pattern)) {
      Error = "cannot create a temporary folder";
      return;
    }
    Dir = pattern;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + Dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !fs::exists(Dir + "/de_DE.UTF-8/LC_NUMERIC", ec)) {
      Error = "localedef could not build de_DE.UTF-8 (the locales package is missing)";
      return;
    }
    if (const char* old = std::getenv("LOCPATH")) OldLocPath = old;
    setenv("LOCPATH", Dir.c_str(), 1);
    OldC = std::setlocale(LC_ALL, nullptr);
    OldCpp = std::locale();
    try {
      std::locale::global(std::locale("de_DE.UTF-8"));  // sets the C locale too
    } catch (const std::exception& e) {
      Error = std::string("cannot switch to de_DE.UTF-8: ") + e.what();
      return;
    }
    const std::lconv* conv = std::localeconv();
    if (!conv || std::string(conv->decimal_point) != ",") {
      Error = "de_DE.UTF-8 is in force but its decimal mark is not a comma";
      return;
    }
    Active = true;
  }

  ~TCommaLocale() {
    if (OldCpp) std::locale::global(*OldCpp);
    if (!OldC.empty()) std::setlocale(LC_ALL, OldC.c_str());
    if (OldLocPath)
      setenv("LOCPATH", OldLocPath->c_str(), 1);
    else
      unsetenv("LOCPATH");
    std::error_code ec;
    if (!Dir.empty()) std::filesystem::remove_all(Dir, ec);
  }

  TCommaLocale(const TCommaLocale&) = delete;
  TCommaLocale& operator=(const TCommaLocale&) = delete;

  bool Active = false;
  std::string Error;

 private:
  std::string Dir;
  std::string OldC;
  std::optional<std::locale> OldCpp;
  std::optional<std::string> OldLocPath;
};
