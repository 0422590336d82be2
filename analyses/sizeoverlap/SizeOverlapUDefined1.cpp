#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"
#include "shell/PelmorMain.h"

TSizeOverLapUD1* SizeOverLapUD1 = nullptr;

namespace {
double EditValue(const QLineEdit* Edit) {
  double v = 0.0;
  if (!TextToFloat(Edit->text().toStdString(), v) || !std::isfinite(v)) return std::numeric_limits<double>::quiet_NaN();
  return v;
}
QString F(double V) { return QString::fromStdString(FloatToStrF(V)); }
}  // namespace

TSizeParameterDialog::TSizeParameterDialog(const QString& Name, const QString& Caption, const QString& FirstText,
                                           const QString& FirstDesign, const QString& SecondText,
                                           const QString& SecondDesign, bool WatchFileName, QWidget* Parent)
    : QDialog(Parent), WatchFile(WatchFileName) {
  setObjectName(Name);
  setWindowTitle(Caption);
  setModal(true);
  LastFileName = Pelmor ? Pelmor->FileName : QString();
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  FirstLabel = new QLabel(FirstText, this);
  FirstEdit = new QLineEdit(FirstDesign, this);
  SecondLabel = new QLabel(SecondText, this);
  SecondEdit = new QLineEdit(SecondDesign, this);
  FirstLabel->setBuddy(FirstEdit);
  SecondLabel->setBuddy(SecondEdit);
  grid->addWidget(FirstLabel, 0, 0);
  grid->addWidget(FirstEdit, 0, 1);
  grid->addWidget(SecondLabel, 1, 0);
  grid->addWidget(SecondEdit, 1, 1);
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout();
  OKButton = new QPushButton(QStringLiteral("&OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  ResetDefaultsButton = new QPushButton(QStringLiteral("reset &Defaults"), this);
  ResetDefaultsButton->setObjectName(QStringLiteral("ResetDefaultsButton"));
  ResetDefaultsButton->setAutoDefault(false);
  buttons->addStretch();
  buttons->addWidget(OKButton);
  buttons->addWidget(ResetDefaultsButton);
  layout->addLayout(buttons);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
  connect(ResetDefaultsButton, &QPushButton::clicked, this, [this] { ResetDefaultsButtonClick(); });
  resize(340, 130);
}

double TSizeParameterDialog::FirstValue() const { return EditValue(FirstEdit); }
double TSizeParameterDialog::SecondValue() const { return EditValue(SecondEdit); }

bool TSizeParameterDialog::SetUp() {
  const int32_t col = SizeOverlapOpts ? SizeOverlapOpts->AnalysedColumn() : 1;
  const std::vector<double> positive = PositiveCells(col);
  if (positive.empty()) {
    ShowMessage(QStringLiteral("Non-Zero Rows Must be > 0"));
    return false;
  }
  const auto [first, second] = Parameters(positive);
  FirstEdit->setText(F(first));
  SecondEdit->setText(F(second));
  return true;
}

bool TSizeParameterDialog::Check() const {
  const QString message = CheckValues();
  if (message.isEmpty()) return true;
  ShowMessage(message);
  return false;
}

void TSizeParameterDialog::OKButtonClick() {
  if (Check()) accept();
}

bool TSizeParameterDialog::FormShow() {
  const int col = SizeOverlapOpts ? SizeOverlapOpts->AnalysedColumn() : 1;
  const QString file = Pelmor ? Pelmor->FileName : QString();
  Refused = false;
  if (FirstShow || col != LastColumn || (WatchFile && file != LastFileName)) {
    FirstShow = false;
    LastColumn = col;
    LastFileName = file;
    Refused = !SetUp();
  }
  OKButton->setFocus();
  return !Refused;
}

int TSizeParameterDialog::exec() {
  // A refused set-up closes the dialog before it is seen.
  if (!FormShow()) return Rejected;
  Prepared = true;
  const int result = QDialog::exec();
  Prepared = false;
  return result;
}

void TSizeParameterDialog::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (Event->spontaneous() || Prepared) return;
  if (!FormShow())
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) QDialog::reject();
    });
}

void TSizeParameterDialog::reject() {
  if (!Refused && !CheckValues().isEmpty()) {
    ShowMessage(QStringLiteral("Resetting defaults!"));
    SetUp();
  }
  QDialog::reject();
}

// ---------------------------------------------------------------------------

TSizeOverLapUD1::TSizeOverLapUD1(QWidget* Parent)
    : TSizeParameterDialog(QStringLiteral("SizeOverLapUD1"), QStringLiteral("Pelmor -- Untransformed end points"),
                           QStringLiteral("Minimum:"), QStringLiteral("0"), QStringLiteral("Maximum:"),
                           QStringLiteral("1"), true, Parent) {
  SizeOverLapUD1 = this;
  MinimumEdit = FirstEdit;
  MaximumEdit = SecondEdit;
  MinimumEdit->setObjectName(QStringLiteral("MinimumEdit"));
  MaximumEdit->setObjectName(QStringLiteral("MaximumEdit"));
}

TSizeOverLapUD1::~TSizeOverLapUD1() {
  if (SizeOverLapUD1 == this) SizeOverLapUD1 = nullptr;
}

QString TSizeOverLapUD1::CheckValues() const {
  const double min = FirstValue(), max = SecondValue();
  // Under "Integer" the pool starts at the rounded minimum: it must stay a size.
  const bool integer = SizeOverlapOpts && SizeOverlapOpts->RoundingGroup->ItemIndex() == 1;
  if (!(min > 0.0) || (integer && Round(min) < 1)) return QStringLiteral("Minimum must be > 0.");
  if (!(max > 0.0)) return QStringLiteral("Maximum must be > 0 ");
  if (!(max > min)) return QStringLiteral("Maximum must be > Minimum ");
  return {};
}

std::pair<double, double> TSizeOverLapUD1::Parameters(const std::vector<double>& Positive) const {
  const int32_t n = static_cast<int32_t>(Positive.size());
  return {LowestValue(n, Positive), HighestValue(n, Positive)};
}
