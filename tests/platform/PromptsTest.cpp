// The file dialogs' filter: the program's form and what the toolkit is given.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/Prompts.h"

TEST(FileFilter, TextFilesFirstThenAllFiles) {
  EXPECT_EQ(TextFileFilter(), "Text files(*.txt)|*.txt|All files(*.*)|*.*");
  // "*.*" is every file, also one without an extension.
  EXPECT_EQ(ToolkitFileFilter(TextFileFilter()), "Text files (*.txt);;All files (*)");
  EXPECT_EQ(ToolkitFileFilter("Data(*.dat;*.txt)|*.dat;*.txt"), "Data (*.dat *.txt)");
  EXPECT_EQ(ToolkitFileFilter("Plain|*.txt"), "Plain (*.txt)");
  EXPECT_EQ(ToolkitFileFilter(""), "");
  EXPECT_EQ(ToolkitFileFilter("Lonely name"), "");  // a name without patterns is no entry
}

TEST(ScriptedPrompts, FileDialogsKeepWhatTheyWereOpenedWith) {
  TScriptedPrompts script;
  script.FileAnswers = {"/tmp/chosen.txt", ""};
  EXPECT_EQ(script.SaveFileName(nullptr, "Title", "/folder", "data.txt"), std::optional<QString>("/tmp/chosen.txt"));
  EXPECT_EQ(script.OpenFileName(nullptr, "Other", "", "", "A|*.a"), std::nullopt);  // empty answer: cancelled
  EXPECT_EQ(script.OpenFileName(nullptr, "Third", "", ""), std::nullopt);          // no answer left: cancelled
  ASSERT_EQ(script.Log.size(), 3u);
  EXPECT_EQ(script.Log[0].Kind, "save");
  EXPECT_EQ(script.Log[0].Text, "Title");
  EXPECT_EQ(script.Log[0].Directory, "/folder");
  EXPECT_EQ(script.Log[0].InitialName, "data.txt");
  EXPECT_EQ(script.Log[0].Filter, TextFileFilter());
  EXPECT_EQ(script.Log[1].Kind, "open");
  EXPECT_EQ(script.Log[1].Filter, "A|*.a");
  EXPECT_TRUE(script.Messages.isEmpty());
}

TEST(QtPromptsTest, TheChosenFilesFolderBecomesTheCurrentDirectory) {
  QTemporaryDir start, data;
  ASSERT_TRUE(start.isValid() && data.isValid());
  const QString old = QDir::currentPath();
  QDir::setCurrent(start.path());
  FolderOfChosenFileBecomesCurrent(QDir(data.path()).filePath(QStringLiteral("meadow.txt")));
  EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(data.path()).canonicalPath());
  // A name in a folder that does not exist leaves the directory alone.
  FolderOfChosenFileBecomesCurrent(QDir(data.path()).filePath(QStringLiteral("gone/meadow.txt")));
  EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(data.path()).canonicalPath());
  QDir::setCurrent(old);
}
