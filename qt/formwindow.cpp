#include "formwindow.h"

#include "captionfit.h"
#include "chartcanvas.h"
#include "formwidgets.h"
#include "reporttable.h"
#include "windowplace.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace runetally {
namespace {

// The default face at any size, in Qt's pixels.
class QtMeasure : public TextMeasure {
public:
    explicit QtMeasure(QFont font) : font_(std::move(font)) {}

    int width(std::string_view text, double points) override {
        return metrics(points).horizontalAdvance(ToQString(text));
    }
    int wrappedHeight(std::string_view text, double points, int width) override {
        const QRect room(0, 0, width, std::numeric_limits<short>::max());
        return metrics(points)
            .boundingRect(room, Qt::AlignLeft | Qt::TextWordWrap, ToQString(text))
            .height();
    }

private:
    QFontMetrics metrics(double points) const {
        QFont font = font_;
        if (points != font.pointSizeF()) {
            font.setPointSizeF(points);
        }
        return QFontMetrics(font);
    }

    QFont font_;
};

// The file a drag carries when it carries one local file: the bytes that name it.
std::optional<std::string> DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    // toLocalFile() decodes the name as UTF-8, which loses bytes that are none; the encoded
    // path keeps them.
    const QUrl url = data->urls().front();
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return (url.host().isEmpty() ? "" : "//" + url.host().toStdString()) + bytes.toStdString();
}

} // namespace

// The window as its commands see it: every control by its id.
class FormWindow::Surface : public FormSurface {
public:
    Surface(FormWindow& window, const FormDesc& form)
        : form(form), window_(window), controls_(form.controlNames.size()) {}

    template <class W = QWidget> W* get(ControlId id) const {
        return qobject_cast<W*>(controls_[id.index]);
    }

    // The widgets and menus, with their captions fitted and the focus on the first stop.
    void build(FormEvents& events);

    // Moves the widgets that stretch to their places in a client area of that size.
    void place(QSize client) {
        const int width = client.width() * kTwipsPerInch / kQtDpi;
        const int height = client.height() * kTwipsPerInch / kQtDpi;
        for (const WidgetDesc& desc : form.widgets) {
            if (desc.stretch != Stretch{}) {
                get(desc.id)->setGeometry(ToPixels(Placed(form, desc, width, height)));
            }
        }
    }

    std::string text(ControlId id) const override {
        return get(id)->property("text").toString().toStdString();
    }
    void setText(ControlId id, std::string_view text) override {
        get(id)->setProperty("text", ToQString(text));
    }
    // A combo box's current item, or the selected item of a list or row of a table.
    int selected(ControlId id) const override {
        if (auto* combo = get<QComboBox>(id)) {
            return combo->currentIndex();
        }
        const QModelIndexList chosen =
            get<QAbstractItemView>(id)->selectionModel()->selectedIndexes();
        return chosen.isEmpty() ? -1 : chosen.front().row();
    }
    void select(ControlId id, int place) override {
        const QSignalBlocker quiet(get(id)); // the commands that select know it
        if (auto* combo = get<QComboBox>(id)) {
            combo->setCurrentIndex(place);
            return;
        }
        auto* view = get<QAbstractItemView>(id);
        const QModelIndex index =
            view->model()->index(place, std::max(view->currentIndex().column(), 0));
        if (!index.isValid()) {
            view->clearSelection();
            return;
        }
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
        view->scrollTo(view->model()->index(place, 0));
    }
    void setRows(ControlId table, std::span<const TableRow> rows) override {
        get<ReportTable>(table)->setRows(rows);
        widenFor(form.widget(table), get<ReportTable>(table)->takeShortfall());
    }
    void setColumns(ControlId table, std::span<const ColumnDesc> columns) override {
        get<ReportTable>(table)->setColumns(columns);
    }
    void setSortMark(ControlId table, int column, bool descending) override {
        get<ReportTable>(table)->setSortMark(column, descending);
    }
    PointTwips sizeOf(ControlId id) const override {
        const QSize size = get(id)->size();
        return {size.width() * kTwipsPerInch / kQtDpi, size.height() * kTwipsPerInch / kQtDpi};
    }
    void setChart(ControlId chart, const ChartPicture& picture) override {
        get<ChartCanvas>(chart)->setPicture(picture);
    }
    void setShown(ControlId id, bool shown) override { get(id)->setVisible(shown); }
    void setMenuItem(ControlId id, std::string_view caption, bool shown) override {
        get<QAction>(id)->setText(ToQString(caption));
        get<QAction>(id)->setVisible(shown);
    }
    void setCaption(std::string_view caption) override {
        window_.setWindowTitle(ToQString(caption));
    }
    void close() override {
        unloading = true;
        window_.close(); // the window is deleted later, once control is back in the event loop
        unloading = false;
    }

    const FormDesc& form;
    bool unloading = false; // closed by the commands, which have asked already

private:
    // The window made wider where the screen has room, so that the widget, which takes its share
    // of the added width, gains `more` pixels.
    void widenFor(const WidgetDesc& desc, int more) {
        const int share = desc.stretch.right - desc.stretch.left;
        QScreen* screen = window_.screen();
        if (more <= 0 || share <= 0 || screen == nullptr || window_.isMaximized() ||
            window_.isFullScreen()) {
            return;
        }
        const QRect frame = window_.frameGeometry();
        const QRect area = screen->availableGeometry();
        const ScreenRect widened = Widened({frame.x(), frame.y(), frame.width(), frame.height()},
                                           (more * 100 + share - 1) / share,
                                           {area.x(), area.y(), area.width(), area.height()});
        if (widened.width != frame.width()) {
            window_.move(widened.left, frame.y());
            window_.resize(window_.width() + widened.width - frame.width(), window_.height());
        }
    }

    // The first of a widget's focus stops: a sortable table's captions come before its rows.
    QWidget* firstStop(ControlId id) const {
        auto* table = get<ReportTable>(id);
        return table != nullptr ? table->firstStop() : get(id);
    }

    FormWindow& window_;
    std::vector<QObject*> controls_; // by control: widgets, menus and menu items
};

void FormWindow::Surface::build(FormEvents& events) {
    QWidget* client = window_.centralWidget();
    for (const WidgetDesc& desc : form.widgets) {
        QWidget* widget = CreateWidget(client, desc, events);
        widget->setObjectName(ToQString(form.controlName(desc.id)));
        if (desc.hidden) {
            widget->hide(); // kept hidden when the window shows
        }
        controls_[desc.id.index] = widget;
    }
    for (const WidgetDesc& desc : form.widgets) {
        if (desc.buddy) {
            get<QLabel>(desc.id)->setBuddy(get(*desc.buddy));
        }
        if (desc.kind != WidgetKind::Label && desc.kind != WidgetKind::Line) {
            get(desc.id)->setAccessibleName(ToQString(AccessibleName(form, desc)));
        }
    }
    for (const MenuDesc& menuDesc : form.menus) {
        QMenu* menu = window_.menuBar()->addMenu(ToQString(menuDesc.caption));
        menu->setObjectName(ToQString(form.controlName(menuDesc.id)));
        controls_[menuDesc.id.index] = menu;
        for (const MenuItemDesc& itemDesc : menuDesc.items) {
            if (itemDesc.separatorBefore) {
                menu->addSeparator();
            }
            QAction* item = menu->addAction(ToQString(itemDesc.caption));
            item->setObjectName(ToQString(form.controlName(itemDesc.id)));
            item->setShortcut(QKeySequence(ToQString(ShortcutText(itemDesc.shortcut))));
            item->setVisible(!itemDesc.hidden);
            controls_[itemDesc.id.index] = item;
            QObject::connect(item, &QAction::triggered, item,
                             [&events, id = itemDesc.id] { events.clicked(id); });
        }
    }

    QFont font = client->font();
    QtMeasure measure(font);
    if (const std::optional<double> points =
            FitCaptions(form, kQtDpi, font.pointSizeF(), measure)) {
        font.setPointSizeF(*points);
        for (const WidgetDesc* caption : InputCaptions(form)) {
            get(caption->id)->setFont(font);
        }
    }

    // Tab follows the description's focus order; the first widget takes the focus.
    for (ControlId stop : form.focusOrder) {
        if (firstStop(stop) != get(stop)) {
            QWidget::setTabOrder(firstStop(stop), get(stop));
        }
    }
    for (std::size_t i = 1; i < form.focusOrder.size(); ++i) {
        QWidget::setTabOrder(get(form.focusOrder[i - 1]), firstStop(form.focusOrder[i]));
    }
    if (!form.focusOrder.empty()) {
        get(form.focusOrder.front())->setFocus();
    }
}

FormWindow::FormWindow(const FormDesc& form, const Commands& commands)
    : surface_(std::make_unique<Surface>(*this, form)), platform_(this),
      events_(commands(*surface_, platform_)) {
    setObjectName(ToQString(form.name));
    setWindowTitle(ToQString(form.caption));
    setCentralWidget(new QWidget(this));
    surface_->build(*events_);

    QSize size = ToPixels({0, 0, form.clientWidth, form.clientHeight}).size();
    // The menu bar comes on top of the client area.
    size.rheight() += form.menus.empty() ? 0 : menuBar()->heightForWidth(size.width());
    if (form.fixedFrame) {
        // A fixed frame that keeps its close box. A plain window rather than a dialog: X11
        // window managers keep a dialog above the rest of its program, and these have no owner.
        setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                       Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        setFixedSize(size);
    }
    if (form.describedIsMinimum) {
        setMinimumSize(size);
    }
    if (form.screenPosition) {
        setGeometry(
            QRect(ToPixels({form.screenPosition->x, form.screenPosition->y}).topLeft(), size));
    } else {
        resize(size);
    }

    setAcceptDrops(true);
    installEventFilter(this);
    for (QWidget* widget : findChildren<QWidget*>()) {
        widget->installEventFilter(this);
    }
    events_->loaded();
}

FormWindow::~FormWindow() = default;

void FormWindow::closeEvent(QCloseEvent* event) {
    if (!surface_->unloading && !events_->closing()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // As a dialog has them: Enter alone or keypad Enter; Esc.
    const bool enter =
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() == Qt::NoModifier ||
         (event->key() == Qt::Key_Enter && (event->modifiers() & Qt::KeypadModifier)));
    const bool cancel = event->matches(QKeySequence::Cancel);
    for (const WidgetDesc& desc : surface_->form.widgets) {
        if ((enter && desc.defaultButton) || (cancel && desc.cancelButton)) {
            auto* button = surface_->get<QPushButton>(desc.id);
            if (button->isVisible() && button->isEnabled()) {
                button->click();
                return;
            }
        }
    }
    QMainWindow::keyPressEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Resize && watched == centralWidget()) {
        surface_->place(centralWidget()->size());
    }
    // Ctrl+C on a control whose commands copy what it shows, such as a table or a chart.
    if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        for (const WidgetDesc& desc : surface_->form.widgets) {
            if (surface_->get(desc.id) == watched && events_->copying(desc.id)) {
                return true;
            }
        }
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QMainWindow::eventFilter(watched, event);
    }
    auto* drag = static_cast<QDropEvent*>(event);
    const std::optional<std::string> path = DraggedFile(drag->mimeData());
    // Only a copy: a file manager may delete the file it moved.
    if (!path || !events_->takesFile(*path) || !(drag->possibleActions() & Qt::CopyAction)) {
        return QMainWindow::eventFilter(watched, event); // a text box takes dropped text itself
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (type == QEvent::Drop) {
        // Once the drop is over: the program the file came from waits until it is, and the
        // commands may ask the player first.
        QTimer::singleShot(0, this, [this, path = *path] { events_->dropped(path); });
    }
    return true;
}

} // namespace runetally
