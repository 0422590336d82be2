#include "shell/PelmorLaunchers.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <map>

#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"

namespace {
std::map<QString, TLauncher>& Launchers() {
  static std::map<QString, TLauncher> launchers;
  return launchers;
}

int32_t IntText(const QString& Text) { return IntTextRule(Text.toStdString()); }

// Line Index of the batch list, or an empty text past its end.
QString BatchListLine(int Index) {
  const QTextBlock line = Pelmor->Memo1->document()->findBlockByNumber(Index);
  return line.isValid() ? line.text().trimmed() : QString();
}
}  // namespace

void RegisterLauncher(const QString& Name, TLauncher Launcher) { Launchers()[Name] = std::move(Launcher); }

void UnregisterLauncher(const QString& Name) { Launchers().erase(Name); }

const TLauncher* FindLauncher(const QString& Name) {
  auto it = Launchers().find(Name);
  return it == Launchers().end() ? nullptr : &it->second;
}

bool AcceptLaunchOptions(const TLauncher& L) {
  TPelmor& p = *Pelmor;
  if (p.OptionsAccepted) {
    p.Iterations = L.IterationsText ? IntText(L.IterationsText()) : 0;
    p.RandomSeed = L.SeedText ? IntText(L.SeedText()) : 0;
    if (L.CopySaveMatrices) p.SaveMatrices = L.SaveMatrices && L.SaveMatrices();
    p.RunEnabled = true;
  }
  return p.RunEnabled;
}

void RunBatchLoop(const TLauncher& L) {
  TPelmor& p = *Pelmor;
  while (p.RunEnabled && !p.AbortRequested) {
    const QString line = BatchListLine(p.BatchIndex);
    if (line.isEmpty()) {
      // The end of the list, or an empty line inside it, ends the batch.
      p.RunEnabled = false;
      break;
    }
    p.FileName = ExpandFileName(line);
    p.OpenBatchFile();
    ++p.BatchIndex;
    if (p.RunEnabled && L.AfterBatchFileRead && !L.AfterBatchFileRead()) p.RunEnabled = false;
    if (p.RunEnabled && L.Run) L.Run();
  }
}

void RunCommonLauncher(const TLauncher& L) {
  TPelmor& p = *Pelmor;
  if (L.ClearBatchGridAtStart) p.ClearBatchGrid();
  p.BatchIndex = 0;
  p.AbortRequested = false;
  p.OptionsAccepted = false;
  p.RunEnabled = false;
  if (L.BeforeDialog && !L.BeforeDialog()) return;
  p.hide();
  ShowModal(L.OptionsDialog ? L.OptionsDialog() : nullptr);
  AcceptLaunchOptions(L);
  if (p.RunEnabled && !p.BatchMode) {
    if (L.Run) L.Run();
  } else if (p.BatchMode) {
    RunBatchLoop(L);
  }
  p.show();
}

bool TPelmor::LaunchAnalysis(const QString& Name) {
  const TLauncher* l = FindLauncher(Name);
  if (!l) return false;
  // A copy: a launcher may be registered again while it runs.
  const TLauncher launcher = *l;
  if (launcher.CustomLaunch)
    launcher.CustomLaunch();
  else
    RunCommonLauncher(launcher);
  return true;
}

void TPelmor::ConnectLauncherMenus() {
  const std::pair<QAction*, const char*> items[] = {
      {CoOccurrence1, "CoOccurrence"},   {Macroecology1, "Macroecology"},       {NicheOverlap1, "NicheOverlap"},
      {SizeOverlap1, "SizeOverlap"},     {SpeciesDiversity1, "SpeciesDiversity"}, {Anova1, "Anova"},
      {ChiSquare1, "ChiSquare"},         {Regression1, "Regression"},           {RunsTest1, "RunsTest"},
      {GuildStructure1, "GuildStructure"}};
  for (const auto& [action, name] : items) {
    const QString n = QString::fromLatin1(name);
    connect(action, &QAction::triggered, this, [this, n] { LaunchAnalysis(n); });
  }
  connect(Batch1, &QAction::triggered, this, [this] { Batch1Click(); });
  connect(ChangeDirectory1, &QAction::triggered, this, [this] { ChangeDirectory1Click(); });
}
