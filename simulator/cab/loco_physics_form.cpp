// The loco physics dialog: the traction INI file's [general] and [loco physics] keys.
#include "cab/loco_physics_form.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/qt_message_box.h"
#include "platform/numbers.h"

namespace {

QString Text(const std::string& s)
{
    return QString::fromLatin1(s);
}

std::string Bytes(const QLineEdit* edit)
{
    return edit->text().toLatin1().toStdString();
}

// Widens a field so that the text it opens with shows whole, with a character to spare.
void FitText(QLineEdit* edit)
{
    const QFontMetrics metrics(edit->font());
    // The line edit's own hint is 17 'x' wide plus its frame and margins.
    const int hint = edit->sizeHint().width();
    const int padding = hint - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    const int needed = metrics.horizontalAdvance(edit->text()) + padding + metrics.averageCharWidth();
    edit->setMinimumWidth(std::max(hint, needed));
    edit->setCursorPosition(0);
}

// The field's text as a whole number within [low, high].
bool WholeNumber(const QLineEdit* edit, long low, long high)
{
    long value = 0;
    return plat_parse_int(Bytes(edit), &value) && value >= low && value <= high;
}

constexpr double kMaxMass = 2000.0;  // tonnes

}  // namespace

void TPhysEditForm::accept()
{
    struct WholeField {
        QLineEdit* edit;
        const char* name;
        long low, high;
        const char* unit;
    };
    double massValue = 0.0;
    std::string problem;
    QLineEdit* field = nullptr;
    if (!plat_parse_double(Bytes(mass), &massValue) || !std::isfinite(massValue) ||
        massValue <= 0.0 || massValue > kMaxMass) {
        field = mass;
        problem = "Mass must be a number above 0 and at most 2000 (tonnes).";
    }
    const WholeField wholes[] = {{traction, "maxTraction", 0, 10000, " (kN)"},
                                 {indbrake, "maxIndBrake", 0, 10000, " (kN)"},
                                 {power, "Power", 0, 100000, " (BHP)"},
                                 {numAxles, "numAxles", 1, 32, ""}};
    for (const WholeField& w : wholes) {
        if (field || WholeNumber(w.edit, w.low, w.high))
            continue;
        field = w.edit;
        problem = std::string(w.name) + " must be a whole number from " + std::to_string(w.low) +
                  " to " + std::to_string(w.high) + w.unit + ".";
    }
    if (!field) {
        QDialog::accept();
        return;
    }
    ShowMessage(problem);
    field->setFocus();
    field->selectAll();
}

TPhysEditForm::TPhysEditForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Loco Data from INI file");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const std::pair<QLineEdit**, const char*> fields[] = {
        {&tractType, "Traction Type:"},   {&descp, "Short Description:"},
        {&year, "Year Built:"},           {&engine, "Engine Model:"},
        {&mass, "Mass (tonnes) :"},       {&traction, "maxTraction (kN) :"},
        {&indbrake, "maxIndBrake (kN) :"}, {&power, "Power (BHP) :"},
        {&numAxles, "numAxles :"},        {&brk_mode, "Brake (auto/ep) :"}};
    const char* names[] = {"tractType", "descp",    "year",  "engine",   "mass",
                           "traction",  "indbrake", "power", "numAxles", "brk_mode"};
    int i = 0;
    for (const auto& [edit, label] : fields) {
        *edit = new QLineEdit(this);
        (*edit)->setObjectName(names[i++]);
        form->addRow(label, *edit);
    }
    auto* examples = new QPlainTextEdit(this);
    examples->setReadOnly(true);
    examples->setPlainText("Examples:\nTraction Type: DEL, ELE, DMU, EMU, STE, SUB or HST\n"
                           "Brake: auto or ep");
    examples->setMaximumHeight(70);
    layout->addWidget(examples);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TPhysEditForm::FillPhysEditForm(const TPhysicsKeys& k)
{
    tractType->setText(Text(k.tractionType));
    descp->setText(Text(k.description));
    year->setText(Text(k.yearComm));
    engine->setText(Text(k.model));
    mass->setText(Text(k.mass));
    traction->setText(Text(k.maxTraction));
    indbrake->setText(Text(k.maxIndBrk));
    power->setText(Text(k.powerHp));
    numAxles->setText(Text(k.numAxles));
    brk_mode->setText(Text(k.brakeType));
    for (QLineEdit* edit : {tractType, descp, year, engine, mass, traction, indbrake, power,
                            numAxles, brk_mode})
        FitText(edit);
}

TPhysicsKeys TPhysEditForm::Keys() const
{
    TPhysicsKeys k;
    k.tractionType = Bytes(tractType);
    k.description = Bytes(descp);
    k.yearComm = Bytes(year);
    k.model = Bytes(engine);
    k.mass = Bytes(mass);
    k.maxTraction = Bytes(traction);
    k.maxIndBrk = Bytes(indbrake);
    k.powerHp = Bytes(power);
    k.numAxles = Bytes(numAxles);
    k.brakeType = Bytes(brk_mode);
    return k;
}
