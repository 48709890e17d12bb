#include "explorer_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QVBoxLayout>
#include <cmath>
#include <iostream>
#include <stdexcept>

#include "compiled_expression.h"
#include "differentiated_expression.h"
#include "expression_message.h"
#include "figure_output.h"
#include "parser.h"
#include "png_file.h"
#include "quoted_text.h"
#include "render_options.h"
#include "zero_pole_report.h"

namespace complexplot {

namespace {

constexpr int kTypingPauseMs = 150;
constexpr int kRangePauseMs = 600;
constexpr int kMostRemembered = 20;
constexpr double kKeyZoom = 1.25;

const char* const kExamples[] = {"sin(z)",  "log(z)", "exp(1/z)", "(z^2+1)/(z^2-1)",
                                 "sqrt(z)", "tan(z)", "atan(z)"};

// Digits enough to tell apart the points a pixel apart.
int meaningfulDigits(const MapGeometry& view) {
    const double largest = std::max(
        {std::fabs(view.x0), std::fabs(view.x1), std::fabs(view.y0), std::fabs(view.y1), 1e-300});
    const double pixel =
        std::min((view.x1 - view.x0) / view.width, (view.y1 - view.y0) / view.height);
    return std::clamp(static_cast<int>(std::ceil(std::log10(largest / pixel))) + 2, 4, 17);
}

QString number(double value, int digits) {
    if (std::isnan(value)) {
        return QStringLiteral("nan");
    }
    return QString::number(value, 'g', digits);
}

// The shortest text that reads back as the same double, with inf, -inf and
// nan as such.
QString exact(double value) {
    return std::isnan(value) ? QStringLiteral("nan") : QString::fromStdString(shortestText(value));
}

// A view of the start window on maps of that size, with square pixels: the
// window whole, centred.
MapGeometry fitted(const MapGeometry& window, QSize pixels) {
    MapGeometry view = window;
    view.width = pixels.width();
    view.height = pixels.height();
    return view.zoomedInto(0, 0, view.width, view.height);
}

// What is wrong with a bound typed in the Go to dialog, or empty when it
// reads, as --window reads its numbers, as a finite real constant.
QString boundProblem(const QString& text, double& value) {
    try {
        const ParsedExpression parsed = parseExpression(text.trimmed().toStdString());
        const ExpressionGraph::Node& node = parsed.graph.node(parsed.root);
        if (!parsed.graph.isConstant(parsed.root) || !node.real ||
            !std::isfinite(node.value.real())) {
            return ExplorerWindow::tr("give a finite real number, such as 2, -1.5 or pi/2");
        }
        value = node.value.real();
        return {};
    } catch (const ExpressionError& error) {
        return ExplorerWindow::tr("column %1: %2").arg(error.column()).arg(translatedText(error));
    }
}

// Whether the text reads as a function.
bool readable(const QString& text) {
    try {
        const CompiledExpression check(text.toStdString());
        return true;
    } catch (const ExpressionError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The start a session without a command line opens with: what the last one
// kept, each part only where it reads, else the default.
ExplorerStart restoredStart(QSettings& settings, ExplorerStart start) {
    const QString function = settings.value(QStringLiteral("last/function")).toString();
    if (!function.trimmed().isEmpty() && readable(function)) {
        start.expression = function.toStdString();
    }
    const QStringList bounds = settings.value(QStringLiteral("last/window")).toStringList();
    double read[4];
    bool ok = bounds.size() == 4;
    for (int k = 0; ok && k < 4; ++k) {
        read[k] = QLocale::c().toDouble(bounds[k], &ok);
        ok = ok && std::isfinite(read[k]);
    }
    if (ok && read[0] < read[1] && read[2] < read[3]) {
        MapGeometry window;
        window.x0 = read[0];
        window.x1 = read[1];
        window.y0 = read[2];
        window.y1 = read[3];
        if (window.withinReach()) {
            start.view = window;
        }
    }
    const int mode = settings.value(QStringLiteral("last/rangeMode"), 0).toInt();
    const QStringList ends = settings.value(QStringLiteral("last/rangeEnds")).toStringList();
    if (mode >= 0 && mode < 4) {
        start.range.forEach = mode % 2 == 1;
        double range[4];
        bool fixed = mode >= 2 && ends.size() == 4;
        for (int k = 0; fixed && k < 4; ++k) {
            range[k] = QLocale::c().toDouble(ends[k], &fixed);
        }
        if (fixed && range[0] < range[1] && range[2] < range[3]) {
            start.range.fixed = true;
            start.range.real = GreyRange{range[0], range[1]};
            start.range.imaginary = GreyRange{range[2], range[3]};
        }
    }
    start.axes = settings.value(QStringLiteral("last/axes"), false).toBool();
    const int shown = settings.value(QStringLiteral("last/show"), 0).toInt();
    if (shown >= 0 && shown <= 2) {
        start.show = static_cast<MapKind>(shown);
    }
    start.contours = settings.value(QStringLiteral("last/contours"), false).toBool();
    start.zeros = settings.value(QStringLiteral("last/zeros"), false).toBool();
    start.greys = settings.value(QStringLiteral("last/greys"), 0).toInt() == 1 ? GreyCurve::symlog
                                                                               : GreyCurve::linear;
    return start;
}

// A number too long for its field shows its start, where it is read from,
// rather than its last digits.
void showNumber(QLineEdit* field, const QString& number) {
    field->setText(number);
    field->setCursorPosition(0);
}

}  // namespace

ExplorerWindow::ExplorerWindow(const ExplorerStart& given, QWidget* parent)
    : QMainWindow(parent),
      history_(MapGeometry{}),
      startSized_(given.sized),
      settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("complex-plot"),
                QStringLiteral("explore")) {
    setWindowTitle(tr("Complex functions: explorer"));
    // Numbers in a proportional face with true superscripts, whatever the
    // desktop's font: in a monospaced Japanese face "4.53" reads as "4. 53"
    // and "×10⁻⁵" as a row of tiny marks. Japanese falls back to IPA's
    // proportional Gothic.
    QFont numbers = font();
    numbers.setFamilies(
        {QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    setFont(numbers);
    const ExplorerStart start = given.restore ? restoredStart(settings_, given) : given;
    history_ = ViewHistory(start.view.value_or(MapGeometry{}));
    startView_ = start.view.value_or(MapGeometry{});
    startWindow_ = startView_;
    if (settings_.status() != QSettings::NoError) {
        std::cerr << "complex-plot-explore: the settings file "
                  << complexplot::quoted(settings_.fileName().toStdString())
                  << " cannot be read; the defaults are used\n";
    }

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* functionRow = new QHBoxLayout;
    auto* functionLabel = new QLabel(tr("f(z) ="), central);
    functionBox_ = new QComboBox(central);
    functionBox_->setEditable(true);
    functionBox_->setInsertPolicy(QComboBox::NoInsert);
    functionBox_->setObjectName(QStringLiteral("function"));
    functionBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // However long a function in the history or the line, the box takes
    // the width the window gives it: the text scrolls, the list elides.
    functionBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    functionBox_->setMinimumContentsLength(24);
    // The history: each function once, as it reads without surrounding
    // blanks, and never one that does not read.
    QStringList items;
    for (const QString& kept : settings_.value(QStringLiteral("functions")).toStringList()) {
        if (!items.contains(kept.trimmed()) && readable(kept)) {
            items.append(kept.trimmed());
        }
    }
    for (const char* example : kExamples) {
        if (!items.contains(QString::fromLatin1(example))) {
            items.append(QString::fromLatin1(example));
        }
    }
    functionBox_->addItems(items);
    functionBox_->setEditText(QString::fromStdString(start.expression));
    functionLabel->setBuddy(functionBox_);
    functionRow->addWidget(functionLabel);
    functionRow->addWidget(functionBox_);
    layout->addLayout(functionRow);
    caret_ = new QLabel(central);
    caret_->setObjectName(QStringLiteral("caret"));
    caret_->setStyleSheet(QStringLiteral("color: #c00000"));
    // A message of any length never widens the window.
    caret_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(caret_);

    auto* controls = new QHBoxLayout;
    shown_ = new QComboBox(central);
    shown_->setObjectName(QStringLiteral("show"));
    // In the order of MapKind.
    shown_->addItems({tr("Re f and Im f"), tr("|f| and arg f"), tr("phase portrait")});
    shown_->setCurrentIndex(static_cast<int>(start.show));
    controls->addWidget(shown_);
    greys_ = new QComboBox(central);
    greys_->setObjectName(QStringLiteral("greys"));
    greys_->addItems({tr("linear greys"), tr("symlog greys")});
    greys_->setCurrentIndex(start.greys == GreyCurve::symlog ? 1 : 0);
    greys_->setToolTip(
        tr("symlog: each value v shown as sign(v) log(1 + |v|/t), so that "
           "values over many decades each get their greys"));
    symlogScale_ = start.symlogScale;
    controls->addWidget(greys_);
    // The range on a row of its own, so that the window stays narrow
    // enough for a small screen.
    auto* shownRow = controls;
    controls = new QHBoxLayout;
    rangeMode_ = new QComboBox(central);
    rangeMode_->setObjectName(QStringLiteral("rangeMode"));
    rangeMode_->addItems(
        {tr("grey range: automatic, one for both"), tr("grey range: automatic, one for each"),
         tr("grey range: fixed, one for both"), tr("grey range: fixed, one for each")});
    rangeMode_->setCurrentIndex((start.range.fixed ? 2 : 0) + (start.range.forEach ? 1 : 0));
    controls->addWidget(rangeMode_);
    lock_ = new QCheckBox(tr("Lock the range"), central);
    lock_->setToolTip(tr("Keep the current greys while zooming and panning"));
    controls->addWidget(lock_);
    const QString placeholders[] = {tr("Re low"), tr("Re high"), tr("Im low"), tr("Im high")};
    const double ends[] = {start.range.real.low, start.range.real.high, start.range.imaginary.low,
                           start.range.imaginary.high};
    for (int k = 0; k < 4; ++k) {
        rangeEnds_[k] = new QLineEdit(central);
        rangeEnds_[k]->setPlaceholderText(placeholders[k]);
        rangeEnds_[k]->setObjectName(QStringLiteral("rangeEnd%1").arg(k));
        rangeEnds_[k]->setMaximumWidth(140);
        if (start.range.fixed) {
            showNumber(rangeEnds_[k], exact(ends[k]));
        }
        controls->addWidget(rangeEnds_[k]);
        connect(rangeEnds_[k], &QLineEdit::editingFinished, this, &ExplorerWindow::rangeChanged);
        // A typed range applies as a typed function does, after a pause.
        connect(rangeEnds_[k], &QLineEdit::textEdited, &rangePause_, qOverload<>(&QTimer::start));
    }
    axes_ = new QCheckBox(tr("Draw the axes"), central);
    axes_->setObjectName(QStringLiteral("axes"));
    axes_->setChecked(start.axes);
    shownRow->addWidget(axes_);
    contours_ = new QCheckBox(tr("Level curves"), central);
    contours_->setObjectName(QStringLiteral("contours"));
    contours_->setChecked(start.contours);
    shownRow->addWidget(contours_);
    zeros_ = new QCheckBox(tr("Zeros and poles"), central);
    zeros_->setObjectName(QStringLiteral("zeros"));
    zeros_->setChecked(start.zeros);
    shownRow->addWidget(zeros_);
    shownRow->addStretch();
    controls->addStretch();
    layout->addLayout(shownRow);
    layout->addLayout(controls);

    canvas_ = new MapCanvas(central);
    canvas_->setLegendForEach(start.range.forEach);
    canvas_->setKind(start.show);
    layout->addWidget(canvas_, 1);
    setCentralWidget(central);

    readout_ = new QLabel(this);
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progress_ = new QLabel(this);
    statusBar()->addWidget(readout_, 1);
    statusBar()->addPermanentWidget(progress_);

    rangePause_.setSingleShot(true);
    rangePause_.setInterval(kRangePauseMs);
    connect(&rangePause_, &QTimer::timeout, this, [this] {
        // Typing an end of a fixed range: it applies once it reads.
        if (rangeMode_->currentIndex() >= 2 && rangeSetting().fixed) {
            render();
            keepSession();
        } else if (rangeMode_->currentIndex() >= 2) {
            tell(rangeProblem());
        }
    });
    typingPause_.setSingleShot(true);
    typingPause_.setInterval(kTypingPauseMs);
    connect(&typingPause_, &QTimer::timeout, this, [this] {
        remember(expression_);
        render();
    });
    connect(functionBox_, &QComboBox::editTextChanged, this, &ExplorerWindow::expressionEdited);
    connect(rangeMode_, &QComboBox::currentIndexChanged, this, &ExplorerWindow::rangeChanged);
    connect(lock_, &QCheckBox::toggled, this, &ExplorerWindow::rangeChanged);
    connect(shown_, &QComboBox::currentIndexChanged, this, &ExplorerWindow::shownChanged);
    connect(greys_, &QComboBox::currentIndexChanged, this, &ExplorerWindow::shownChanged);
    fitRangeControls();
    connect(axes_, &QCheckBox::toggled, this, &ExplorerWindow::render);
    connect(axes_, &QCheckBox::toggled, this, &ExplorerWindow::keepSession);
    connect(contours_, &QCheckBox::toggled, this, &ExplorerWindow::render);
    connect(contours_, &QCheckBox::toggled, this, &ExplorerWindow::keepSession);
    connect(zeros_, &QCheckBox::toggled, this, &ExplorerWindow::render);
    connect(zeros_, &QCheckBox::toggled, this, &ExplorerWindow::keepSession);
    connect(canvas_, &MapCanvas::mapPixelsChanged, this, &ExplorerWindow::mapPixelsChanged);
    connect(canvas_, &MapCanvas::zoomRequested, this, &ExplorerWindow::zoomAbout);
    connect(canvas_, &MapCanvas::panRequested, this, &ExplorerWindow::panBy);
    connect(canvas_, &MapCanvas::zoomIntoRequested, this, &ExplorerWindow::zoomInto);
    connect(canvas_, &MapCanvas::pointerMoved, this, &ExplorerWindow::pointerMoved);
    connect(&renderer_, &MapRenderer::rendered, this, &ExplorerWindow::rendered);
    connect(&renderer_, &MapRenderer::progressed, this, &ExplorerWindow::progressed);
    connect(&renderer_, &MapRenderer::failed, this, &ExplorerWindow::renderFailed);
    buildMenus();

    expressionEdited(functionBox_->currentText());
    typingPause_.stop();
    canvas_->setFocus();
}

ExplorerWindow::~ExplorerWindow() {
    renderer_.stop();
}

void ExplorerWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Save figure…"), QKeySequence::Save, this, &ExplorerWindow::saveFigure);
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* copyPixel =
        edit->addAction(tr("&Copy the pixel's values"), this, &ExplorerWindow::copyPixel);
    copyPixel->setShortcut(QKeySequence::Copy);
    // In the function line, Ctrl+C copies its text as usual.
    copyPixel->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    canvas_->addAction(copyPixel);
    // In the function line Ctrl+C copies the selected text, or with none
    // selected the pixel, as it does elsewhere.
    functionBox_->lineEdit()->installEventFilter(this);
    edit->addAction(tr("Copy the co&mmand line"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                    this, &ExplorerWindow::copyCommandLine);
    edit->addAction(tr("Edit the &function"), QKeySequence(Qt::CTRL | Qt::Key_L), this, [this] {
        functionBox_->setFocus(Qt::ShortcutFocusReason);
        functionBox_->lineEdit()->selectAll();
    });
    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left), this,
                    &ExplorerWindow::goBack);
    view->addAction(tr("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right), this,
                    &ExplorerWindow::goForward);
    view->addAction(tr("&Go to…"), QKeySequence(Qt::CTRL | Qt::Key_G), this, &ExplorerWindow::goTo);
    view->addAction(tr("&Start view (0)"), this, &ExplorerWindow::goToStart);
}

bool ExplorerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == functionBox_->lineEdit() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QLineEdit* line = functionBox_->lineEdit();
        if (!line->hasSelectedText()) {
            copyPixel();
            return true;
        }
        line->copy();
        tell(tr("copied the selected text: %1").arg(line->selectedText()));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void ExplorerWindow::keyPressEvent(QKeyEvent* event) {
    // The keys of the maps; in the function line they type as usual.
    const MapGeometry& current = view();
    const double tenthX = current.width / 10.0;
    const double tenthY = current.height / 10.0;
    switch (event->key()) {
        case Qt::Key_Left:
            return panBy(tenthX, 0);
        case Qt::Key_Right:
            return panBy(-tenthX, 0);
        case Qt::Key_Up:
            return panBy(0, tenthY);
        case Qt::Key_Down:
            return panBy(0, -tenthY);
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return zoomAbout(current.width / 2.0, current.height / 2.0, kKeyZoom);
        case Qt::Key_Minus:
            return zoomAbout(current.width / 2.0, current.height / 2.0, 1 / kKeyZoom);
        case Qt::Key_0:
            return goToStart();
        default:
            QMainWindow::keyPressEvent(event);
    }
}

void ExplorerWindow::expressionEdited(const QString& text) {
    // The line holds 32,767 characters; a paste of more is cut to that, and
    // is not what was meant.
    if (text.size() >= functionBox_->lineEdit()->maxLength()) {
        tell(tr("the function is too long: the line holds %1 characters; the last maps stay")
                 .arg(functionBox_->lineEdit()->maxLength()));
        statusIsError_ = true;
        typingPause_.stop();
        return;
    }
    const std::string typed = text.toStdString();
    try {
        const CompiledExpression check(typed);
        caret_->clear();
        // The last error goes with it.
        if (statusIsError_) {
            tell(QString());
        }
        expression_ = typed;
        typingPause_.start();
    } catch (const std::bad_alloc&) {
        tell(tr("out of memory while reading the function; the last maps stay"));
        typingPause_.stop();
    } catch (const ExpressionError& error) {
        // The place marked under the line; the last good maps stay.
        const QFontMetrics metrics(functionBox_->lineEdit()->font());
        const QString before = text.left(error.column() - 1);
        // Under the place where it shows; a place scrolled out of a long
        // line is marked at the label's right end.
        const int indent = std::min(functionBox_->x() + functionBox_->lineEdit()->x() + 4 +
                                        metrics.horizontalAdvance(before),
                                    std::max(0, caret_->width() - 40));
        const QString message = tr("column %1: %2").arg(error.column()).arg(translatedText(error));
        placeCaret(indent, message);
        tell(message);
        statusIsError_ = true;
        typingPause_.stop();
    }
}

void ExplorerWindow::placeCaret(int indent, const QString& message) {
    const QFontMetrics metrics(caret_->font());
    const QString after = QStringLiteral("^ ") + message;
    if (indent + metrics.horizontalAdvance(after) <= caret_->width()) {
        caret_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        caret_->setIndent(indent);
        caret_->setText(after);
        return;
    }
    // Where the message would run past the window's edge it stands before
    // the mark, cut short at its end if even that room is too small.
    const QString mark = QStringLiteral(" ^");
    const int markEnd = indent + metrics.horizontalAdvance(QStringLiteral("^"));
    caret_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caret_->setIndent(std::max(0, caret_->width() - markEnd));
    caret_->setText(metrics.elidedText(message, Qt::ElideRight,
                                       std::max(0, markEnd - metrics.horizontalAdvance(mark))) +
                    mark);
}

void ExplorerWindow::remember(const std::string& expression) {
    QStringList functions = settings_.value(QStringLiteral("functions")).toStringList();
    const QString entry = QString::fromStdString(expression).trimmed();
    keepSession();
    if (functions.value(0) == entry) {
        return;
    }
    functions.removeAll(entry);
    functions.prepend(entry);
    while (functions.size() > kMostRemembered) {
        functions.removeLast();
    }
    settings_.setValue(QStringLiteral("functions"), functions);
    settings_.sync();
    static bool told = false;
    if (settings_.status() != QSettings::NoError && !told) {
        told = true;
        std::cerr << "complex-plot-explore: the settings file "
                  << complexplot::quoted(settings_.fileName().toStdString())
                  << " cannot be written; the functions typed are not kept\n";
    }
}

void ExplorerWindow::mapPixelsChanged(QSize pixels) {
    MapGeometry current = view();
    if (!viewFitted_) {
        // Until the maps have the size the command line asked for (the
        // window is being resized to give it them), the start window is
        // fitted to what they have; then it is exactly the view asked for.
        const bool asked = startSized_ && pixels == QSize(startView_.width, startView_.height);
        viewFitted_ = asked || !startSized_;
        if (asked) {
            heldWindowSize_ = size();
        }
        current = asked ? startView_ : fitted(startWindow_, pixels);
        history_ = ViewHistory(current);
        showView(current, false);
        return;
    }
    if (pixels == QSize(current.width, current.height)) {
        return;
    }
    // A resize keeps the view's centre and pixel size.
    history_.replaceCurrent(current.resizedTo(pixels.width(), pixels.height()));
    showView(view(), false);
}

void ExplorerWindow::showView(const MapGeometry& next, bool rememberIt) {
    if (rememberIt) {
        history_.push(next);
    }
    canvas_->setView(view());
    render();
    keepSession();
}

void ExplorerWindow::keepSession() {
    if (!viewFitted_ || expression_.empty()) {
        return;
    }
    // Written to the file by QSettings in its own time and at the end.
    const MapGeometry& current = view();
    settings_.setValue(QStringLiteral("last/function"), QString::fromStdString(expression_));
    settings_.setValue(
        QStringLiteral("last/window"),
        QStringList{exact(current.x0), exact(current.x1), exact(current.y0), exact(current.y1)});
    settings_.setValue(QStringLiteral("last/rangeMode"), rangeMode_->currentIndex());
    QStringList ends;
    for (QLineEdit* end : rangeEnds_) {
        ends << end->text().trimmed();
    }
    settings_.setValue(QStringLiteral("last/rangeEnds"), ends);
    settings_.setValue(QStringLiteral("last/axes"), axes_->isChecked());
    settings_.setValue(QStringLiteral("last/show"), shown_->currentIndex());
    settings_.setValue(QStringLiteral("last/greys"), greys_->currentIndex());
    settings_.setValue(QStringLiteral("last/contours"), contours_->isChecked());
    settings_.setValue(QStringLiteral("last/zeros"), zeros_->isChecked());
}

void ExplorerWindow::render() {
    if (!viewFitted_ || expression_.empty()) {
        return;
    }
    RenderJob job;
    job.id = ++jobId_;
    job.expression = expression_;
    job.view = view();
    job.range = rangeSetting();
    job.show = shownKind();
    job.greys = greys_->currentIndex() == 1 ? GreyCurve::symlog : GreyCurve::linear;
    job.symlogScale = symlogScale_;
    job.contours = contours_->isChecked();
    job.zeros = zeros_->isChecked();
    job.axes = axes_->isChecked();
    progress_->setText(tr("drawing…"));
    renderer_.render(job);
}

QString ExplorerWindow::rangeProblem() const {
    const bool each = rangeMode_->currentIndex() % 2 == 1;
    double ends[4] = {};
    for (int k = 0; k < (each ? 4 : 2); ++k) {
        const QString text = rangeEnds_[k]->text().trimmed();
        bool ok = false;
        ends[k] = QLocale::c().toDouble(text, &ok);
        if (text.isEmpty()) {
            return tr("the field “%1” is empty: a fixed range needs both ends of each map's")
                .arg(rangeEnds_[k]->placeholderText());
        }
        if (!ok || !std::isfinite(ends[k])) {
            return tr("the field “%1” is not a number").arg(rangeEnds_[k]->placeholderText());
        }
    }
    if (shownKind() == MapKind::modulusArgument && !(ends[0] > 0)) {
        return tr("“%1” must be above 0").arg(rangeEnds_[0]->placeholderText());
    }
    for (int k = 0; k < (each ? 4 : 2); k += 2) {
        if (!(ends[k] < ends[k + 1]) || !std::isfinite(ends[k + 1] - ends[k])) {
            return tr("“%1” must be below “%2”")
                .arg(rangeEnds_[k]->placeholderText(), rangeEnds_[k + 1]->placeholderText());
        }
    }
    return {};
}

void ExplorerWindow::showRangeInUse(const FunctionMaps& maps) {
    // The digits the legend's ends need: three, or more until they differ.
    auto texts = [](const GreyRange& range) {
        int digits = 3;
        while (digits < 17 && QString::number(range.low, 'g', digits) ==
                                  QString::number(range.high, 'g', digits)) {
            ++digits;
        }
        return std::pair{QString::number(range.low, 'g', digits),
                         QString::number(range.high, 'g', digits)};
    };
    const auto [realLow, realHigh] = texts(maps.shading.realRange);
    const auto [imaginaryLow, imaginaryHigh] = texts(maps.shading.imaginaryRange);
    QString shown[] = {realLow, realHigh, imaginaryLow, imaginaryHigh};
    // |f| has one range; the phase portrait none.
    for (int k = maps.shading.kind == MapKind::modulusArgument ? 2
                 : maps.shading.kind == MapKind::phase         ? 0
                                                               : 4;
         k < 4; ++k) {
        shown[k].clear();
    }
    for (int k = 0; k < 4; ++k) {
        if (!rangeEnds_[k]->hasFocus()) {
            showNumber(rangeEnds_[k], shown[k]);
        }
    }
}

MapKind ExplorerWindow::shownKind() const {
    return static_cast<MapKind>(shown_->currentIndex());
}

void ExplorerWindow::fitRangeControls() {
    const MapKind kind = shownKind();
    const bool reIm = kind == MapKind::realImaginary;
    greys_->setEnabled(reIm);
    rangeMode_->setEnabled(kind != MapKind::phase);
    lock_->setEnabled(kind != MapKind::phase);
    // One range for |f|: the modes of one for each are not offered.
    if (auto* modes = qobject_cast<QStandardItemModel*>(rangeMode_->model())) {
        for (const int each : {1, 3}) {
            modes->item(each)->setEnabled(reIm);
        }
    }
    const QString placeholders[] = {reIm ? tr("Re low") : tr("|f| low"),
                                    reIm ? tr("Re high") : tr("|f| high"), tr("Im low"),
                                    tr("Im high")};
    for (int k = 0; k < 4; ++k) {
        rangeEnds_[k]->setPlaceholderText(placeholders[k]);
        rangeEnds_[k]->setEnabled(reIm || (kind == MapKind::modulusArgument && k < 2));
    }
}

void ExplorerWindow::shownChanged() {
    if (sender() == greys_) {
        symlogScale_.reset();
    }
    if (sender() == shown_) {
        // Ranges of one kind mean nothing to another: the greys are
        // worked out again, for the same view.
        const QSignalBlocker blockMode(rangeMode_);
        const QSignalBlocker blockLock(lock_);
        rangeMode_->setCurrentIndex(0);
        lock_->setChecked(false);
        for (QLineEdit* end : rangeEnds_) {
            end->clear();
        }
        canvas_->setLegendForEach(false);
        canvas_->setKind(shownKind());
    }
    fitRangeControls();
    render();
    keepSession();
}

RangeSetting ExplorerWindow::rangeSetting() const {
    RangeSetting setting;
    const int mode = rangeMode_->currentIndex();
    setting.forEach = mode % 2 == 1;
    setting.fixed = mode >= 2;
    double ends[4];
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        ends[k] = QLocale::c().toDouble(rangeEnds_[k]->text().trimmed(), &ok);
        if (!ok || !std::isfinite(ends[k])) {
            setting.fixed = false;
        }
        if (!setting.forEach && k == 1) {
            break;
        }
    }
    if (setting.fixed) {
        setting.real = GreyRange{ends[0], ends[1]};
        setting.imaginary = setting.forEach ? GreyRange{ends[2], ends[3]} : setting.real;
        if (shownKind() == MapKind::modulusArgument && !(setting.real.low > 0)) {
            setting.fixed = false;
        }
        if (!(setting.real.low < setting.real.high) ||
            !(setting.imaginary.low < setting.imaginary.high) ||
            !std::isfinite(setting.real.high - setting.real.low) ||
            !std::isfinite(setting.imaginary.high - setting.imaginary.low)) {
            setting.fixed = false;
        }
    }
    return setting;
}

void ExplorerWindow::rangeChanged() {
    const std::shared_ptr<const RenderedMaps> resting = canvas_->restingMaps();
    if (lock_->isChecked() && resting) {
        // The greys of the maps at rest, kept.
        const FunctionMaps& maps = resting->maps;
        const double ends[] = {maps.shading.realRange.low, maps.shading.realRange.high,
                               maps.shading.imaginaryRange.low, maps.shading.imaginaryRange.high};
        for (int k = 0; k < 4; ++k) {
            if (rangeEnds_[k]->text().isEmpty() || sender() == lock_) {
                showNumber(rangeEnds_[k], exact(ends[k]));
            }
        }
        const QSignalBlocker blocker(rangeMode_);
        rangeMode_->setCurrentIndex(2 + (maps.shading.rangeForEach ? 1 : 0));
    }
    if (sender() == lock_ && !lock_->isChecked() && rangeMode_->currentIndex() >= 2) {
        // Unlocked: the greys follow the view again.
        const QSignalBlocker blocker(rangeMode_);
        rangeMode_->setCurrentIndex(rangeMode_->currentIndex() - 2);
    }
    if (rangeMode_->currentIndex() >= 2 && !rangeSetting().fixed) {
        // Refused, and said which field; the box goes back to what is
        // drawn, the automatic greys.
        tell(rangeProblem());
        const QSignalBlocker blocker(rangeMode_);
        rangeMode_->setCurrentIndex(rangeMode_->currentIndex() - 2);
    }
    canvas_->setLegendForEach(rangeMode_->currentIndex() % 2 == 1);
    render();
    keepSession();
}

void ExplorerWindow::rendered(std::shared_ptr<const RenderedMaps> maps) {
    if (maps->id != jobId_) {
        return;
    }
    canvas_->setMaps(maps);
    if (!maps->coarse) {
        // The fields show the range in use, automatic or not.
        if (!rangeSetting().fixed) {
            showRangeInUse(maps->maps);
        }
        emit mapsAtRest();
        progress_->clear();
        if (pointer_) {
            pointerMoved(pointer_->x(), pointer_->y());
        }
        if (zeros_->isChecked() && !maps->request.zeros) {
            const auto operation =
                DifferentiatedExpression(maps->request.expression).nonAnalyticOperation();
            tell(tr("no zeros and poles marked: f uses %1, which has no complex derivative, so "
                    "it is not meromorphic")
                     .arg(QString::fromUtf8(operation.value_or("").data(),
                                            static_cast<int>(operation.value_or("").size()))));
        } else if (maps->maps.zeros && maps->maps.zeros->points.empty()) {
            tell(noMarksText(*maps->maps.zeros));
        }
    }
}

void ExplorerWindow::progressed(quint64 id, int rowsDone, int rows) {
    if (id == jobId_ && rows > 0) {
        progress_->setText(tr("drawing %1%").arg(100 * rowsDone / rows));
    }
}

void ExplorerWindow::renderFailed(quint64 id, const QString& message) {
    if (id == jobId_) {
        progress_->clear();
        tell(message);
        emit mapsFailed(message);
    }
}

void ExplorerWindow::tell(const QString& message) {
    statusIsError_ = false;
    readout_->setText(message);
}

QString ExplorerWindow::statusText() const {
    return readout_->text();
}

void ExplorerWindow::pointerMoved(double column, double row) {
    if (std::isnan(column)) {
        pointer_.reset();
        return;
    }
    pointer_ = QPointF(column, row);
    const MapGeometry& current = view();
    const int c = std::clamp(static_cast<int>(std::floor(column)), 0, current.width - 1);
    const int r = std::clamp(static_cast<int>(std::floor(row)), 0, current.height - 1);
    const int digits = meaningfulDigits(current);
    const double x = current.sampleX(c);
    const double y = current.sampleY(r);
    QString line =
        tr("z = %1 %2 %3i").arg(number(x, digits), y < 0 ? "−" : "+", number(std::fabs(y), digits));
    if (const auto resting = canvas_->restingMaps()) {
        const ComplexValue f =
            resting->maps.values[static_cast<std::size_t>(r) * current.width + c];
        const int valueDigits = std::max(6, digits);
        line += QStringLiteral("    ") +
                tr("f(z) = %1 %2 %3i    |f(z)| = %4    arg f(z) = %5")
                    .arg(number(f.real(), valueDigits), f.imag() < 0 ? "−" : "+",
                         number(std::fabs(f.imag()), valueDigits), number(std::abs(f), valueDigits),
                         // arg 0 is undefined, whatever atan2 makes of ±0.
                         f == ComplexValue(0.0, 0.0) ? QStringLiteral("—")
                                                     : number(std::arg(f), valueDigits));
    }
    // On a mark, what it marks instead.
    if (const ZeroOrPole* point = pointAt(*pointer_)) {
        const QString z = QString::fromStdString(complexText(point->z));
        line = point->kind == PointKind::zero
                   ? tr("zero of order %1 at z = %2").arg(point->order).arg(z)
                   : tr("pole of order %1 at z = %2, residue %3 (error about %4)")
                         .arg(point->order)
                         .arg(z, QString::fromStdString(complexText(point->residue)),
                              QString::number(point->residueError, 'g', 2));
        line += QStringLiteral("    ") + tr("Ctrl+C copies its line");
    }
    tell(line);
}

void ExplorerWindow::zoomAbout(double column, double row, double factor) {
    if (!std::isfinite(factor) || factor <= 0) {
        return;
    }
    // About the centre of the pixel under the pointer: the z the readout
    // names stays under it, notch after notch.
    const MapGeometry next =
        view().zoomedAbout(std::floor(column) + 0.5, std::floor(row) + 0.5, factor);
    if (factor > 1 && !next.pixelsAreDistinct()) {
        tell(tr("zoomed in as far as double precision tells the pixels apart"));
        return;
    }
    if (factor < 1 && !next.withinReach()) {
        tell(tr("zoomed out as far as ±10¹⁵"));
        return;
    }
    showView(next, true);
}

void ExplorerWindow::panBy(double columns, double rows) {
    const MapGeometry next = view().pannedBy(columns, rows);
    if (!next.withinReach() || !next.pixelsAreDistinct()) {
        tell(tr("the view stays within ±10¹⁵"));
        return;
    }
    showView(next, true);
}

void ExplorerWindow::zoomInto(double column0, double row0, double column1, double row1) {
    const MapGeometry next = view().zoomedInto(column0, row0, column1, row1);
    if (!next.pixelsAreDistinct()) {
        tell(tr("zoomed in as far as double precision tells the pixels apart"));
        return;
    }
    showView(next, true);
}

void ExplorerWindow::goBack() {
    if (history_.back()) {
        showView(view(), false);
    }
}

void ExplorerWindow::goForward() {
    if (history_.forward()) {
        showView(view(), false);
    }
}

void ExplorerWindow::goToStart() {
    // The start window whole in the maps as they are now.
    const MapGeometry& current = view();
    const bool asked =
        startSized_ && current.width == startView_.width && current.height == startView_.height;
    showView(asked ? startView_ : fitted(startWindow_, QSize(current.width, current.height)), true);
}

void ExplorerWindow::showAtStartSize() {
    show();
    if (!startSized_) {
        return;
    }
    // The maps of the size asked for: the window grows or shrinks by what
    // they lack or have over, where the screen has room.
    const QSize asked(startView_.width, startView_.height);
    canvas_->holdMapPixels(asked);
    const QSize have = canvas_->mapPixels();
    const double ratio = devicePixelRatioF();
    const QSize wanted =
        size() + QSize(static_cast<int>(std::ceil(2 * (asked.width() - have.width()) / ratio)),
                       static_cast<int>(std::ceil((asked.height() - have.height()) / ratio)));
    const QSize room = screen()->availableGeometry().size();
    if (wanted.width() <= room.width() && wanted.height() <= room.height()) {
        if (have != asked) {
            resize(wanted.expandedTo(size()));
        }
    } else {
        startSizeDoesNotFit(asked);
    }
}

void ExplorerWindow::resizeEvent(QResizeEvent* event) {
    // The maps keep the size the command line asked for until the window
    // is resized; then they take the room it gives them.
    if (heldWindowSize_.isValid() && size() != heldWindowSize_) {
        heldWindowSize_ = QSize();
        canvas_->holdMapPixels(std::nullopt);
    }
    // A window manager holds a window at its minimum size; with none, a
    // window made smaller from outside takes that size back, so that the
    // maps keep their 64 pixels a side. Once: a window manager that insists
    // on the smaller size has its way rather than a tug of war.
    const QSize least = minimumSize();
    if (width() >= least.width() && height() >= least.height()) {
        tookMinimumBack_ = false;
    } else if (!tookMinimumBack_) {
        tookMinimumBack_ = true;
        QTimer::singleShot(0, this, [this] { resize(size().expandedTo(minimumSize())); });
    }
    QMainWindow::resizeEvent(event);
}

void ExplorerWindow::startSizeDoesNotFit(QSize asked) {
    startSized_ = false;
    viewFitted_ = false;
    canvas_->holdMapPixels(std::nullopt);
    mapPixelsChanged(canvas_->mapPixels());
    tell(tr("maps of %1 x %2 pixels do not fit the screen: the window asked for is shown "
            "with the pixels that fit")
             .arg(asked.width())
             .arg(asked.height()));
}

QString ExplorerWindow::commandLine() const {
    const std::shared_ptr<const RenderedMaps> resting = canvas_->restingMaps();
    if (!resting) {
        return {};
    }
    const FunctionMaps& maps = resting->maps;
    return QString::fromStdString(
        commandLineOf(resting->request, maps.shading, axes_->isChecked()));
}

QString ExplorerWindow::pixelLine(int column, int row) const {
    const std::shared_ptr<const RenderedMaps> resting = canvas_->restingMaps();
    const MapGeometry& current = view();
    if (!resting || column < 0 || row < 0 || column >= current.width || row >= current.height) {
        return {};
    }
    const ComplexValue f =
        resting->maps.values[static_cast<std::size_t>(row) * current.width + column];
    return exact(current.sampleX(column)) + '\t' + exact(current.sampleY(row)) + '\t' +
           exact(f.real()) + '\t' + exact(f.imag());
}

void ExplorerWindow::copyCommandLine() {
    const QString line = commandLine();
    if (line.isEmpty()) {
        tell(tr("the maps are still being drawn"));
        return;
    }
    QApplication::clipboard()->setText(line);
    tell(tr("copied: %1").arg(line));
}

QString ExplorerWindow::noMarksText(const ZerosAndPoles& found) const {
    QString text = tr("no zeros or poles found in the view");
    if (found.unsettled.empty()) {
        return text;
    }
    // The first place where none could be counted, and why: the renderer's
    // --zeros lists them all.
    const UnsettledPlace& place = found.unsettled.front();
    QString why;
    switch (place.reason) {
        case UnsettledPlace::Reason::valuesJump:
            why = tr("f jumps along every circle about it (a branch cut)");
            break;
        case UnsettledPlace::Reason::withoutValues:
            why = tr("f is 0 or has no finite value at points of a region too wide to circle");
            break;
        case UnsettledPlace::Reason::tooWide:
            why =
                tr("the cells where f winds spread too wide to circle (a branch cut along a "
                   "row or a column of pixels, or points that accumulate)");
            break;
        case UnsettledPlace::Reason::windingUnsettled:
            why =
                tr("the winding of f does not settle (an essential singularity, or points "
                   "that accumulate)");
            break;
    }
    const QString where = QString::number(place.centre.real(), 'g', 3) +
                          (std::signbit(place.centre.imag()) ? u'-' : u'+') +
                          QString::number(std::abs(place.centre.imag()), 'g', 3) + u'i';
    return text + tr("; none counted near %1: %2").arg(where, why);
}

const ZeroOrPole* ExplorerWindow::pointAt(QPointF place) const {
    const auto resting = canvas_->restingMaps();
    if (!resting || !resting->maps.zeros) {
        return nullptr;
    }
    // Within a mark's radius and a little more, in map pixels, which are
    // the screen's.
    constexpr double kReach = 6.0;
    const ZeroOrPole* nearest = nullptr;
    double nearestDistance = kReach;
    const MapGeometry& geometry = resting->request.geometry;
    for (const ZeroOrPole& point : resting->maps.zeros->points) {
        const double distance = std::hypot(geometry.columnAt(point.z.real()) - place.x(),
                                           geometry.rowAt(point.z.imag()) - place.y());
        if (distance <= nearestDistance) {
            nearest = &point;
            nearestDistance = distance;
        }
    }
    return nearest;
}

void ExplorerWindow::copyPixel() {
    // Over a mark, the line of its zero or pole, as --zeros=FILE.tsv
    // writes it.
    if (pointer_) {
        if (const ZeroOrPole* point = pointAt(*pointer_)) {
            const QString line = QString::fromStdString(tableLine(*point));
            QApplication::clipboard()->setText(line);
            tell(tr("copied: %1").arg(QString(line).replace('\t', QStringLiteral("  "))));
            return;
        }
    }
    // The pixel under the pointer, or the maps' centre pixel.
    const MapGeometry& current = view();
    const QPointF at = pointer_.value_or(QPointF(current.width / 2, current.height / 2));
    const QString line =
        pixelLine(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    if (line.isEmpty()) {
        tell(tr("the maps are still being drawn"));
        return;
    }
    QApplication::clipboard()->setText(line);
    tell(tr("copied: %1").arg(QString(line).replace('\t', QStringLiteral("  "))));
}

void ExplorerWindow::saveFigure() {
    const std::shared_ptr<const RenderedMaps> resting = canvas_->restingMaps();
    if (!resting) {
        tell(tr("the maps are still being drawn"));
        return;
    }
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        this, tr("Save the view as a figure"), QStringLiteral("figure.png"),
        tr("PNG picture (*.png);;SVG drawing (*.svg);;PDF page (*.pdf)"), &filter);
    if (path.isEmpty()) {
        return;
    }
    const QString suffix = path.section('.', -1).toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg") &&
        suffix != QLatin1String("pdf")) {
        path += filter.contains(QLatin1String("svg"))   ? QStringLiteral(".svg")
                : filter.contains(QLatin1String("pdf")) ? QStringLiteral(".pdf")
                                                        : QStringLiteral(".png");
    }
    try {
        saveFigureAs(path);
        tell(tr("saved %1").arg(path));
    } catch (const std::exception& error) {
        QMessageBox::warning(this, tr("Save the view as a figure"),
                             QString::fromStdString(error.what()));
    }
}

void ExplorerWindow::saveFigureAs(const QString& path) const {
    const std::shared_ptr<const RenderedMaps> resting = canvas_->restingMaps();
    if (!resting) {
        throw std::runtime_error("the maps are still being drawn");
    }
    // As the renderer's --figure writes it for the view's command line.
    const FigureContent content = functionFigureContent(resting->request, resting->maps);
    const std::string file = path.toStdString();
    const int width = figureIsPng(file) ? pngFigureWidth(content, 1600, false) : 0;
    writeBytesFile(file, figureFileBytes({content}, file, width));
}

std::optional<MapGeometry> ExplorerWindow::viewForBounds(const QStringList& texts,
                                                         QString& problem) const {
    // The bounds are read as --window reads them, as constant expressions,
    // and held to the limits the wheel keeps.
    const QString names[] = {QStringLiteral("X0"), QStringLiteral("X1"), QStringLiteral("Y0"),
                             QStringLiteral("Y1")};
    double read[4];
    for (int k = 0; k < 4; ++k) {
        const QString problemOf = boundProblem(texts.value(k), read[k]);
        if (!problemOf.isEmpty()) {
            problem = tr("%1: %2").arg(names[k], problemOf);
            return std::nullopt;
        }
    }
    const MapGeometry& current = view();
    MapGeometry window = current;
    window.x0 = read[0];
    window.x1 = read[1];
    window.y0 = read[2];
    window.y1 = read[3];
    if (!(read[0] < read[1]) || !(read[2] < read[3])) {
        problem = tr("X0 must be below X1, and Y0 below Y1");
        return std::nullopt;
    }
    const MapGeometry next = fitted(window, QSize(current.width, current.height));
    if (!window.withinReach() || !next.withinReach()) {
        problem = tr("the view must stay within ±10¹⁵");
        return std::nullopt;
    }
    if (!next.pixelsAreDistinct()) {
        problem =
            tr("the view is finer than double precision tells the pixels apart: give "
               "bounds further apart");
        return std::nullopt;
    }
    return next;
}

void ExplorerWindow::goTo() {
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Go to"));
    // A window of its own takes the desktop's font, not this one's: the
    // bounds are numbers, in the face that keeps "0.25" from reading "0. 25".
    dialog.setFont(font());
    auto* form = new QFormLayout(&dialog);
    const MapGeometry& current = view();
    const double bounds[] = {current.x0, current.x1, current.y0, current.y1};
    const QString names[] = {QStringLiteral("X0"), QStringLiteral("X1"), QStringLiteral("Y0"),
                             QStringLiteral("Y1")};
    QLineEdit* fields[4];
    for (int k = 0; k < 4; ++k) {
        fields[k] = new QLineEdit(exact(bounds[k]), &dialog);
        form->addRow(names[k], fields[k]);
    }
    auto* problem = new QLabel(&dialog);
    problem->setWordWrap(true);
    form->addRow(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        QStringList texts;
        for (QLineEdit* field : fields) {
            texts << field->text();
        }
        QString why;
        if (const std::optional<MapGeometry> next = viewForBounds(texts, why)) {
            showView(*next, true);
            dialog.accept();
        } else {
            problem->setText(why);
        }
    });
    dialog.exec();
}

}  // namespace complexplot
