#include "ui/sheet/welcome_view.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "app/app_model.h"

namespace tw {
namespace {

const QColor background(59, 48, 42);
const QColor titleColour(227, 166, 58);
const QColor buttonTint(183, 154, 99);

// The widest a paragraph of the welcome is.
constexpr int kTextWidth = 460;

// A paragraph as wide as the window lets it be up to kTextWidth, with as many lines as that
// takes. Laid out centred, a label is given the width it asks for, which a wrapped one
// guesses from its text; and the layout asks its height for the whole width of the window.
class Paragraph : public QLabel {
public:
    Paragraph(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setWordWrap(true);
        setMaximumWidth(kTextWidth);
    }
    QSize sizeHint() const override { return {kTextWidth, heightForWidth(kTextWidth)}; }
    int heightForWidth(int width) const override { return QLabel::heightForWidth(std::min(width, kTextWidth)); }
};

// `label`, its lines centred, in white of the opacity given.
QLabel* whiteCentred(QLabel* label, double whiteOpacity) {
    label->setAlignment(Qt::AlignHCenter);
    QPalette palette = label->palette();
    QColor white(Qt::white);
    white.setAlphaF(static_cast<float>(whiteOpacity));
    palette.setColor(QPalette::WindowText, white);
    label->setPalette(palette);
    return label;
}

} // namespace

WelcomeView::WelcomeView(AppModel& app, QWidget* parent) : QWidget(parent), app_(app) {
    setAccessibleName(tr("Welcome"));
    auto* column = new QVBoxLayout(this);
    column->setSpacing(18);
    column->setContentsMargins(30, 30, 30, 30);
    column->addStretch(1);

    auto* name = new QLabel(tr("Tarnwick"), this);
    QFont nameFont = name->font();
    nameFont.setPointSize(34);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignHCenter);
    QPalette namePalette = name->palette();
    namePalette.setColor(QPalette::WindowText, titleColour);
    name->setPalette(namePalette);
    column->addWidget(name, 0, Qt::AlignHCenter);

    auto* about = whiteCentred(new Paragraph(tr("This app runs the firmware of your own CE calculator (12C, 15C or "
                                                "16C, including multi-model builds). No firmware comes with the app."),
                                             this),
                               0.9);
    column->addWidget(about, 0, Qt::AlignHCenter);

    choose_ = new QPushButton(style()->standardIcon(QStyle::SP_ComputerIcon), tr("Choose Firmware File…"), this);
    QFont headline = choose_->font();
    headline.setBold(true);
    choose_->setFont(headline);
    choose_->setDefault(true);
    choose_->setCursor(Qt::PointingHandCursor);
    choose_->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: black; border: none;"
                                          " border-radius: 6px; padding: 10px 18px; }"
                                          "QPushButton:pressed { background: %2; }")
                               .arg(buttonTint.name(), buttonTint.darker(120).name()));
    column->addWidget(choose_, 0, Qt::AlignHCenter);

    hint_ = whiteCentred(
        new Paragraph(tr("Pick the .bin file you flash to the calculator (about 112 KB). The app remembers it."), this),
        0.7);
    QFont footnote = hint_->font();
    footnote.setPointSizeF(footnote.pointSizeF() * 0.85);
    hint_->setFont(footnote);
    column->addWidget(hint_, 0, Qt::AlignHCenter);

    // A busy bar stands for the spinner: range 0..0 animates without a value.
    spinner_ = new QProgressBar(this);
    spinner_->setRange(0, 0);
    spinner_->setTextVisible(false);
    spinner_->setFixedWidth(120);
    spinner_->setAccessibleName(tr("Starting the calculator…"));
    column->addWidget(spinner_, 0, Qt::AlignHCenter);
    QPalette spinnerPalette = spinner_->palette();
    spinnerPalette.setColor(QPalette::Highlight, Qt::white);
    spinner_->setPalette(spinnerPalette);
    starting_ = whiteCentred(new QLabel(tr("Starting the calculator…"), this), 0.8);
    column->addWidget(starting_, 0, Qt::AlignHCenter);
    column->addStretch(1);

    // The kind of file first, so the importer never opens for a stale kind.
    connect(choose_, &QPushButton::clicked, this, [this] {
        app_.setImportTask(FileTask::firmware);
        app_.setShowImporter(true);
    });
    connect(&app_, &AppModel::isStartingChanged, this, &WelcomeView::follow);
    follow();
}

bool WelcomeView::showsSpinner() const {
    return !spinner_->isHidden();
}

void WelcomeView::follow() {
    const bool starting = app_.isStarting();
    choose_->setHidden(starting);
    hint_->setHidden(starting);
    spinner_->setHidden(!starting);
    starting_->setHidden(!starting);
}

void WelcomeView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background);
}

} // namespace tw
