#pragma once
// The files that the program's own runs write into a batch folder, so that the batch
// list does not offer them as data: "BatchSummary.txt"; "Summary" followed by the
// name of a file of the folder (a run's summary); "Sim" + number + ".txt" and
// "Sim" + number + "_" + number + ".txt" (simulated data sets); "DiversityCurve "
// followed by the name of a file of the folder; "diversitycurve.txt" and
// "abundancecurve.txt". Names are compared exactly (case included), so a user's
// "Simpson.txt", "Summer.txt" or "Summary2019.txt" (without a "2019.txt" beside it)
// stays a data file.
#include <QString>
#include <QStringList>

// The names of a folder's files without the program's outputs, in their order.
QStringList WithoutProgramOutputs(const QStringList& Names);
