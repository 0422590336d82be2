#pragma once
// File modes bind every user but the superuser, and the suite often runs as the
// superuser (CI does). While a TOrdinaryUser lives, this process acts as the ordinary
// user "nobody" (65534) towards every file it touches; the superuser comes back when
// it ends. Run by an ordinary user it changes nothing: the modes bind already.
//
// A test gives the folder it works in (and the files the ordinary user should own) to
// that user with Own before it starts acting as it.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

class TOrdinaryUser {
 public:
  static constexpr uid_t Nobody = 65534;
  static constexpr gid_t NoGroup = 65534;

  TOrdinaryUser() {
    if (::geteuid() != 0) return;
    OldGid = ::getegid();
    // The group first: once the user id is dropped, the group can no longer be set.
    // The saved ids stay the superuser's, so that both come back.
    GroupSet = ::setresgid(static_cast<gid_t>(-1), NoGroup, static_cast<gid_t>(-1)) == 0;
    UserSet = GroupSet && ::setresuid(static_cast<uid_t>(-1), Nobody, static_cast<uid_t>(-1)) == 0;
    EXPECT_TRUE(UserSet) << "could not act as an ordinary user";
  }
  ~TOrdinaryUser() {
    if (UserSet) EXPECT_EQ(::setresuid(static_cast<uid_t>(-1), 0, static_cast<uid_t>(-1)), 0);
    if (GroupSet) EXPECT_EQ(::setresgid(static_cast<gid_t>(-1), OldGid, static_cast<gid_t>(-1)), 0);
  }
  TOrdinaryUser(const TOrdinaryUser&) = delete;
  TOrdinaryUser& operator=(const TOrdinaryUser&) = delete;

  // Gives Path to the user a TOrdinaryUser acts as (nothing to do for an ordinary user,
  // who owns what it made).
  static void Own(const QString& Path) {
    if (::geteuid() != 0) return;
    EXPECT_EQ(::chown(QFile::encodeName(Path).constData(), Nobody, NoGroup), 0) << Path.toStdString();
  }
  // Marks a file read-only for everybody (-r--r--r--).
  static void MarkReadOnly(const QString& Path) {
    EXPECT_EQ(::chmod(QFile::encodeName(Path).constData(), 0444), 0) << Path.toStdString();
  }

 private:
  bool GroupSet = false, UserSet = false;
  gid_t OldGid = 0;
};
