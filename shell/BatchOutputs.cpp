#include "shell/BatchOutputs.h"

#include <QRegularExpression>
#include <QSet>

namespace {
// "Sim" + iteration + ".txt", or with "_" + a second index; both decimal integers.
const QRegularExpression SimFile(QStringLiteral("^Sim-?[0-9]+(_-?[0-9]+)?\\.txt$"));

bool PrefixOfAFolderFile(const QString& Name, const QString& Prefix, const QSet<QString>& Folder) {
  return Name.startsWith(Prefix) && Name.size() > Prefix.size() && Folder.contains(Name.mid(Prefix.size()));
}

bool IsOutput(const QString& Name, const QSet<QString>& Folder) {
  if (Name == QLatin1String("BatchSummary.txt") || Name == QLatin1String("diversitycurve.txt") ||
      Name == QLatin1String("abundancecurve.txt"))
    return true;
  if (SimFile.match(Name).hasMatch()) return true;
  return PrefixOfAFolderFile(Name, QStringLiteral("Summary"), Folder) ||
         PrefixOfAFolderFile(Name, QStringLiteral("DiversityCurve "), Folder);
}
}  // namespace

QStringList WithoutProgramOutputs(const QStringList& Names) {
  const QSet<QString> folder(Names.begin(), Names.end());
  QStringList kept;
  for (const QString& n : Names)
    if (!IsOutput(n, folder)) kept << n;
  return kept;
}
