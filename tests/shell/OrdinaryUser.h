#pragma once
// File modes bind every user but the superuser, and the suite often runs as the
// superuser (CI does). While a TOrdinaryUser lives, this process acts towards every
// file it touches as an ordinary user: "nobody" (65534) when it was started by the
// superuser, else the user who started it. The effective ids are set and the saved
// ones stay, so that the user from before comes back when it ends.
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

  // The user and group a TOrdinaryUser acts as (asked before it acts).
  static uid_t Uid() { return ::geteuid() == 0 ? Nobody : ::geteuid(); }
  static gid_t Gid() { return ::geteuid() == 0 ? NoGroup : ::getegid(); }

  TOrdinaryUser() : OldUid(::geteuid()), OldGid(::getegid()) {
    const uid_t uid = Uid();
    const gid_t gid = Gid();
    // The group first: once the user id is dropped, the group can no longer be set.
    EXPECT_EQ(::setresgid(static_cast<gid_t>(-1), gid, static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(::setresuid(static_cast<uid_t>(-1), uid, static_cast<uid_t>(-1)), 0);
    EXPECT_NE(::geteuid(), 0u) << "still the superuser: file modes would not bind";
  }
  ~TOrdinaryUser() {
    EXPECT_EQ(::setresuid(static_cast<uid_t>(-1), OldUid, static_cast<uid_t>(-1)), 0);
    EXPECT_EQ(::setresgid(static_cast<gid_t>(-1), OldGid, static_cast<gid_t>(-1)), 0);
  }
  TOrdinaryUser(const TOrdinaryUser&) = delete;
  TOrdinaryUser& operator=(const TOrdinaryUser&) = delete;

  // Gives Path to the user a TOrdinaryUser acts as.
  static void Own(const QString& Path) {
    EXPECT_EQ(::chown(QFile::encodeName(Path).constData(), Uid(), Gid()), 0) << Path.toStdString();
  }
  // Marks a file read-only for everybody (-r--r--r--).
  static void MarkReadOnly(const QString& Path) {
    EXPECT_EQ(::chmod(QFile::encodeName(Path).constData(), 0444), 0) << Path.toStdString();
  }

 private:
  const uid_t OldUid;
  const gid_t OldGid;
};
