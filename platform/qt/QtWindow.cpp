#include "platform/qt/QtWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/Dialog.h"
#include "platform/TickSchedule.h"
#include "platform/Types.h"
#include "platform/qt/AppIcon.h"
#include "platform/qt/EditValidator.h"
#include "platform/qt/PreciseTimer.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtUpDown.h"
#include "res/resource.h"

namespace platform {
namespace {

// The text of a list item as the program gave it, bytes kept.
constexpr int kBytesRole = Qt::UserRole + 1;

QString FromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string ToUtf8(const QString& s)
{
    QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

Qt::WindowFlags FlagsFor(const DialogTemplate& tmpl)
{
    // A window of its own (taskbar button) for DS_APPWINDOW, otherwise a dialog.
    Qt::WindowFlags flags = (tmpl.style & DS_APPWINDOW) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (tmpl.style & DS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (tmpl.style & DS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

// "&x" marks an access key and "&&" stands for "&": the text as shown without them.
QString StripMnemonics(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == u'&')
            continue;
        out += text[i];
    }
    return out;
}

std::string ListTextOf(const QListWidgetItem* item)
{
    QByteArray b = item->data(kBytesRole).toByteArray();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

Qt::CheckState CheckStateOf(int state)
{
    return state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int StateOf(Qt::CheckState state)
{
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

// The check boxes of the check list, drawn from the palette so that they read in light and dark
// themes alike: a box in the base colour with an edge between text and base, and the mark in
// the text colour. (Some styles draw the box black on dark, or white on white.)
class CheckListStyle final : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QPalette::ColorGroup group =
            (option->state & State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QColor ink = option->palette.color(group, QPalette::Text);
        const QColor paper = option->palette.color(group, QPalette::Base);
        const QColor edge =
            QColor::fromRgbF(static_cast<float>((ink.redF() * 3 + paper.redF() * 2) / 5),
                             static_cast<float>((ink.greenF() * 3 + paper.greenF() * 2) / 5),
                             static_cast<float>((ink.blueF() * 3 + paper.blueF() * 2) / 5));
        const int side = std::min(option->rect.width(), option->rect.height());
        QRectF box(0, 0, side, side);
        box.moveCenter(QRectF(option->rect).center());

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(edge, 1));
        painter->setBrush(paper);
        painter->drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
        if (option->state & State_On) {
            const qreal w = box.width();
            const QPointF mark[] = {box.topLeft() + QPointF(w * 0.22, w * 0.52),
                                    box.topLeft() + QPointF(w * 0.42, w * 0.72),
                                    box.topLeft() + QPointF(w * 0.78, w * 0.28)};
            painter->setPen(
                QPen(ink, std::max(1.5, w / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->drawPolyline(mark, 3);
        } else if (option->state & State_NoChange) {
            painter->fillRect(box.adjusted(side * 0.3, side * 0.3, -side * 0.3, -side * 0.3), ink);
        }
        painter->restore();
    }
};

// The check list's items as drawn, to tell which names the list cuts.
class CheckListDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Whether the item's text is too long for the room it is drawn in (shown cut, with "…").
    bool IsCut(const QListWidget& view, const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.rect = view.visualRect(index);
        option.font = view.font();
        option.fontMetrics = QFontMetrics(option.font);
        initStyleOption(&option, index);
        const QWidget* widget = option.widget ? option.widget : &view;
        QStyle* style = widget->style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
        // The style leaves this margin on either side of the text.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        return option.fontMetrics.horizontalAdvance(option.text) > textRect.width() - 2 * margin;
    }
};

} // namespace

QtWindow::QtWindow(Dialog& dialog, QWidget* owner)
    : QDialog(owner, FlagsFor(dialog.Template())), m_dialog(dialog),
      m_font(MakePointFont(dialog.Template().fontFace, dialog.Template().pointSize * 10)),
      m_units(DialogUnits::FromFont(m_font)), m_keepInFront(new QTimer(this))
{
    const DialogTemplate& tmpl = dialog.Template();
    // Modal to its owner and the owner's owners, as an owned Windows dialog is. A window
    // without owner blocks nothing, so the help window stays usable beside it; nor is it a
    // modal window, which the toolkit would activate whenever it shows.
    setWindowModality(owner ? Qt::WindowModal : Qt::NonModal);
    setFont(m_font);
    setFixedSize(m_units.X(tmpl.cx), m_units.Y(tmpl.cy));
    setSizeGripEnabled(false);
    CreateControls();
    SetTitle(tmpl.caption);
    // In front for as long as the program keeps bringing the window forward (each second while
    // it counts), and no longer: once the count stops, the window is an ordinary one again.
    m_keepInFront->setSingleShot(true);
    m_keepInFront->setInterval(2500);
    connect(m_keepInFront, &QTimer::timeout, this, [this] {
        if (!m_topmost)
            SetStaysOnTop(false);
    });
}

QtWindow::~QtWindow()
{
    for (auto& [id, timer] : m_timers)
        if (timer)
            timer->Stop();
}

void QtWindow::CreateControls()
{
    const DialogTemplate& tmpl = m_dialog.Template();
    m_controls.reserve(tmpl.controls.size());
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* widget = nullptr;
        QRect rect = m_units.Map(c.x, c.y, c.cx, c.cy);
        switch (c.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(((c.style & CS_RIGHT) ? Qt::AlignRight : Qt::AlignLeft) |
                                Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(this);
            // An icon static takes the size of the icon, as on Windows.
            if (c.text == std::to_string(IDR_MAINFRAME))
                label->setPixmap(AppIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
            rect.setSize(QSize(32, 32));
            widget = label;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(this);
            edit->setFrame((c.style & CS_BORDER) != 0);
            if (c.style & CS_RIGHT)
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            auto* validator = new EditValidator(edit);
            validator->SetDigitsOnly((c.style & CS_NUMBER) != 0);
            edit->setValidator(validator);
            widget = edit;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(this);
            // Enter is handled by the window, as the dialog manager does on Windows.
            button->setAutoDefault(false);
            button->setDefault((c.style & CS_DEFAULT) != 0);
            int id = c.id;
            connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
            widget = button;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(this);
            int id = c.id;
            // clicked, not toggled: a check set by the program sends no command.
            connect(box, &QCheckBox::clicked, this, [this, id] { Command(id); });
            widget = box;
            break;
        }
        case ControlKind::UpDown: {
            auto* upDown = new QtUpDown(this);
            QLineEdit* buddy = nullptr;
            if ((c.style & CS_UD_AUTOBUDDY) && !m_controls.empty() &&
                m_controls.back().kind == ControlKind::Edit)
                buddy = static_cast<QLineEdit*>(m_controls.back().widget);
            if (buddy) {
                upDown->SetBuddy(buddy, (c.style & CS_UD_ARROWKEYS) != 0);
                if (c.style & CS_UD_ALIGNRIGHT) {
                    // Docked inside the buddy's right edge; the buddy gives up that width.
                    QRect b = buddy->geometry();
                    int width = rect.width();
                    buddy->setGeometry(b.x(), b.y(), std::max(0, b.width() - width), b.height());
                    rect = QRect(b.x() + b.width() - width, b.y(), width, b.height());
                }
            }
            widget = upDown;
            break;
        }
        case ControlKind::CheckList: {
            auto* list = new QListWidget(this);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setUniformItemSizes(true);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setVerticalScrollBarPolicy((c.style & CS_VSCROLL) ? Qt::ScrollBarAsNeeded
                                                                    : Qt::ScrollBarAlwaysOff);
            if (!(c.style & CS_BORDER))
                list->setFrameShape(QFrame::NoFrame);
            auto* style = new CheckListStyle;
            style->setParent(list);
            list->setStyle(style);
            list->setItemDelegate(new CheckListDelegate(list));
            widget = list;
            break;
        }
        }
        widget->setObjectName(QStringLiteral("control%1").arg(c.id));
        widget->setFont(c.kind == ControlKind::Edit ? EditFont(m_font) : m_font);
        widget->setGeometry(rect);
        bool focusable = c.kind == ControlKind::Edit || c.kind == ControlKind::PushButton ||
                         c.kind == ControlKind::CheckBox || c.kind == ControlKind::CheckList;
        widget->setFocusPolicy(!focusable               ? Qt::NoFocus
                               : (c.style & CS_TABSTOP) ? Qt::StrongFocus
                                                        : Qt::ClickFocus);
        m_controlIndex[widget] = static_cast<int>(m_controls.size());
        m_controls.push_back({c.id, c.kind, c.style, widget, {}, {}, {}, false});
    }

    // Tab order is template order.
    QWidget* previous = nullptr;
    for (const ControlEntry& e : m_controls) {
        if (!(e.style & CS_TABSTOP) || e.widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, e.widget);
        previous = e.widget;
    }

    // A static's access key moves the focus to the next tab stop after it.
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].kind != ControlKind::Static || (m_controls[i].style & CS_NOPREFIX))
            continue;
        for (size_t k = i + 1; k < m_controls.size(); ++k) {
            if ((m_controls[k].style & CS_TABSTOP) &&
                m_controls[k].widget->focusPolicy() != Qt::NoFocus) {
                m_labelBuddy[static_cast<QLabel*>(m_controls[i].widget)] = m_controls[k].widget;
                break;
            }
        }
    }

    for (size_t i = 0; i < m_controls.size(); ++i) {
        ControlEntry& e = m_controls[i];
        e.widget->installEventFilter(this);
        for (QWidget* child : e.widget->findChildren<QWidget*>())
            child->installEventFilter(this);
        const ControlTemplate& c = m_dialog.Template().controls[i];
        if (c.kind != ControlKind::Icon && c.kind != ControlKind::UpDown &&
            c.kind != ControlKind::CheckList)
            ApplyText(e, c.text);
    }
}

void QtWindow::Command(int id)
{
    if (id == kNoId)
        return;
    m_dialog.OnCommand(id);
}

const QtWindow::ControlEntry* QtWindow::Find(int id) const
{
    for (const ControlEntry& e : m_controls)
        if (e.id == id)
            return &e;
    return nullptr;
}

QtWindow::ControlEntry* QtWindow::Find(int id)
{
    return const_cast<ControlEntry*>(std::as_const(*this).Find(id));
}

const QtWindow::ControlEntry* QtWindow::EntryOf(const QObject* object) const
{
    for (; object && object != this; object = object->parent()) {
        auto it = m_controlIndex.find(object);
        if (it != m_controlIndex.end())
            return &m_controls[static_cast<size_t>(it->second)];
    }
    return nullptr;
}

QWidget* QtWindow::Control(int id) const
{
    const ControlEntry* e = Find(id);
    return e ? e->widget : nullptr;
}

void QtWindow::FocusFirstTabStop()
{
    for (const ControlEntry& e : m_controls) {
        if (!(e.style & CS_TABSTOP) || e.widget->focusPolicy() == Qt::NoFocus ||
            !e.widget->isEnabledTo(this))
            continue;
        e.widget->setFocus(Qt::TabFocusReason);
        if (e.kind == ControlKind::Edit)
            static_cast<QLineEdit*>(e.widget)->selectAll();
        return;
    }
}

int QtWindow::RunModalLoop()
{
    if (m_ended)
        return m_result;
    // A window that is already counting when it first shows was started unattended (at login):
    // it must not take the keyboard from whatever the user is typing into meanwhile.
    const bool unattended = std::any_of(m_timers.begin(), m_timers.end(),
                                        [](const auto& timer) { return !timer.second.isNull(); });
    setAttribute(Qt::WA_ShowWithoutActivating, unattended);
    // The attribute only reaches a native window created after it was set.
    if (windowHandle())
        windowHandle()->setProperty("_q_showWithoutActivating", unattended);
    show();
    if (!unattended) {
        raise();
        activateWindow();
    }
    QEventLoop loop;
    m_loop = &loop;
    if (!m_ended)
        loop.exec();
    m_loop = nullptr;
    hide();
    return m_result;
}

void QtWindow::PressEnter()
{
    const ControlEntry* focused = EntryOf(focusWidget());
    if (focused && focused->kind == ControlKind::PushButton) {
        if (focused->widget->isEnabledTo(this))
            Command(focused->id);
        return;
    }
    for (const ControlEntry& e : m_controls) {
        if (e.kind == ControlKind::PushButton && (e.style & CS_DEFAULT)) {
            if (e.widget->isEnabledTo(this))
                Command(e.id);
            return;
        }
    }
    Command(IdOk);
}

bool QtWindow::focusNextPrevChild(bool next)
{
    // The focus was parked on the window when its control got disabled: Tab and Shift+Tab go on
    // from that control's place in the tab order, not from either end.
    const ControlEntry* anchor = m_focusAnchor ? EntryOf(m_focusAnchor) : nullptr;
    if (!anchor || focusWidget() != this)
        return QDialog::focusNextPrevChild(next);
    const auto count = static_cast<std::ptrdiff_t>(m_controls.size());
    const std::ptrdiff_t from = anchor - m_controls.data();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const ControlEntry& e = m_controls[static_cast<size_t>(
            ((from + (next ? step : -step)) % count + count) % count)];
        if (!(e.style & CS_TABSTOP) || !(e.widget->focusPolicy() & Qt::TabFocus) ||
            !e.widget->isEnabledTo(this) || !e.widget->isVisibleTo(this))
            continue;
        e.widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return true;
}

void QtWindow::reject()
{
    Command(IdCancel);
}

void QtWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        Command(IdCancel);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        PressEnter();
        return;
    default:
        // Not QDialog's: it would handle Enter and Esc its own way.
        QWidget::keyPressEvent(event);
    }
}

void QtWindow::closeEvent(QCloseEvent* event)
{
    // The close box asks; only EndModal closes, and the dialog may refuse.
    event->ignore();
    if (!m_ended)
        Command(IdCancel);
}

QMenu* QtWindow::CreateWindowMenu(QWidget* parent)
{
    if (m_menuItems.empty())
        return nullptr;
    auto* menu = new QMenu(parent);
    for (const auto& [command, text] : m_menuItems) {
        if (command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(FromUtf8(text));
        action->setData(command);
    }
    return menu;
}

void QtWindow::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(CreateWindowMenu(this));
    if (!menu) {
        event->ignore();
        return;
    }
    event->accept();
    QAction* chosen = menu->exec(event->globalPos());
    if (chosen && chosen->data().isValid())
        m_dialog.OnSysCommand(chosen->data().toUInt());
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const ControlEntry* entry = EntryOf(watched);
        if (!entry)
            return QDialog::eventFilter(watched, event);
        auto* help = static_cast<QHelpEvent*>(event);
        // A name the list shows cut is shown whole; other items keep the list's own tip.
        if (auto* list = qobject_cast<QListWidget*>(entry->widget);
            list && watched == list->viewport()) {
            const QModelIndex index = list->indexAt(help->pos());
            const auto* delegate = dynamic_cast<CheckListDelegate*>(list->itemDelegate());
            if (index.isValid() && delegate && delegate->IsCut(*list, index)) {
                QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(),
                                   list->viewport(), list->visualRect(index));
                return true;
            }
        }
        std::string text;
        bool has = m_toolTips && entry->id != kNoId && m_toolTips(entry->id, text) && !text.empty();
        if (has)
            QToolTip::showText(help->globalPos(), FromUtf8(text), entry->widget);
        else
            QToolTip::hideText();
        // Nothing of Qt's own for our controls: the lookup decides.
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- Window ---

void QtWindow::SetTitle(const std::string& title)
{
    m_title = title;
    setWindowTitle(FromUtf8(title));
}

void QtWindow::SetIcon(int iconId, bool)
{
    // One icon carries the small and the large sizes.
    if (iconId == IDR_MAINFRAME)
        setWindowIcon(AppIcon());
}

void QtWindow::AppendSystemMenu(unsigned command, const std::string& text)
{
    m_menuItems.emplace_back(command, text);
}

void QtWindow::EnableToolTips(ToolTipLookup lookup)
{
    m_toolTips = std::move(lookup);
}

void QtWindow::SetStaysOnTop(bool on)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (flags == windowFlags())
        return;
    if (!isVisible() || !windowHandle()) {
        setWindowFlags(flags);
        return;
    }
    // Told to the shown window directly: setWindowFlags would hide and recreate it, losing
    // its place and the activation.
    overrideWindowFlags(flags);
    Qt::WindowFlags native = windowHandle()->flags();
    native.setFlag(Qt::WindowStaysOnTopHint, on);
    windowHandle()->setFlags(native);
}

void QtWindow::SetTopmost()
{
    m_topmost = true;
    SetStaysOnTop(true);
    if (!isVisible())
        return;
    // SetWindowPos without SWP_NOACTIVATE activates the window too.
    raise();
    activateWindow();
}

bool QtWindow::ForceForeground()
{
    if (!isVisible())
        return false;
    // In front of other windows, but never the keyboard: a key typed into another program
    // must not reach this window, where Enter would launch everything and Esc cancel it. A
    // click still activates it as any window.
    SetStaysOnTop(true);
    raise();
    m_keepInFront->start();
    return true;
}

void QtWindow::EndModal(int result)
{
    m_result = result;
    m_ended = true;
    if (m_loop)
        m_loop->exit(0);
}

std::uintptr_t QtWindow::SetTimer(unsigned id, unsigned milliseconds)
{
    const std::uintptr_t key = TimerKey(id, m_timers);
    KillTimer(key);
    auto* timer = new PreciseTimer(
        TimerInterval(milliseconds), [this, key] { m_dialog.OnTimer(key); }, this);
    m_timers[key] = timer;
    timer->Start();
    return key;
}

bool QtWindow::KillTimer(std::uintptr_t id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    if (it->second) {
        it->second->Stop();
        // Possibly inside its own tick: deleted once that has returned.
        it->second->deleteLater();
    }
    m_timers.erase(it);
    return true;
}

void QtWindow::ApplyText(ControlEntry& entry, const std::string& text)
{
    QString q = FromUtf8(text);
    entry.text = text;
    entry.shown = q;
    switch (entry.kind) {
    case ControlKind::Static: {
        auto* label = static_cast<QLabel*>(entry.widget);
        auto buddy = m_labelBuddy.find(label);
        bool prefix = !(entry.style & CS_NOPREFIX) && q.contains(u'&');
        if (prefix && buddy != m_labelBuddy.end()) {
            label->setBuddy(buddy->second);
            label->setText(q);
        } else {
            label->setBuddy(nullptr);
            label->setText(prefix ? StripMnemonics(q) : q);
        }
        if (entry.hasOwnFont)
            FitStaticText(entry);
        break;
    }
    case ControlKind::Edit:
        if (auto* v = qobject_cast<const EditValidator*>(
                static_cast<QLineEdit*>(entry.widget)->validator()))
            v->Accept(q);
        static_cast<QLineEdit*>(entry.widget)->setText(q);
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        static_cast<QAbstractButton*>(entry.widget)->setText(q);
        break;
    case ControlKind::Icon:
    case ControlKind::UpDown:
    case ControlKind::CheckList:
        break;
    }
}

void QtWindow::SetText(int id, const std::string& text)
{
    if (ControlEntry* e = Find(id))
        ApplyText(*e, text);
}

std::string QtWindow::GetText(int id) const
{
    const ControlEntry* e = Find(id);
    if (!e)
        return {};
    if (e->kind == ControlKind::Edit) {
        QString now = static_cast<QLineEdit*>(e->widget)->text();
        // Unchanged since the program set it: its own bytes, even if they were not UTF-8.
        return now == e->shown ? e->text : ToUtf8(now);
    }
    return e->text;
}

void QtWindow::Enable(int id, bool enable)
{
    QWidget* w = Control(id);
    if (!w)
        return;
    // Windows leaves the focus on a control that gets disabled, so that Enter then presses the
    // default button; Qt would hand it to the next control (Start -> Reset). The window keeps
    // it instead, which gives Enter the same meaning.
    QWidget* focused = focusWidget();
    if (!enable && focused && (focused == w || w->isAncestorOf(focused))) {
        m_focusAnchor = w;
        setFocus(Qt::OtherFocusReason);
    }
    w->setEnabled(enable);
}

bool QtWindow::IsEnabled(int id) const
{
    QWidget* w = Control(id);
    return w && w->isEnabledTo(const_cast<QtWindow*>(this));
}

void QtWindow::SetCheck(int id, int state)
{
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    if (!box)
        return;
    if (state == 2)
        box->setTristate(true);
    box->setCheckState(CheckStateOf(state));
}

int QtWindow::GetCheck(int id) const
{
    auto* box = qobject_cast<QCheckBox*>(Control(id));
    return box ? StateOf(box->checkState()) : 0;
}

bool QtWindow::SetFont(int id, const Font& font)
{
    ControlEntry* e = Find(id);
    if (!e || !font.IsCreated())
        return false;
    e->ownFont = MakePointFont(font.face, font.tenthsOfPoint);
    e->hasOwnFont = true;
    e->widget->setFont(e->ownFont);
    if (e->kind == ControlKind::Static)
        FitStaticText(*e);
    return true;
}

void QtWindow::FitStaticText(ControlEntry& entry)
{
    // A static with a large font of its own (the counter) shows every character it holds: the
    // font shrinks until the text fits, and grows back for a shorter text.
    QFont font = entry.ownFont;
    const QString text = static_cast<QLabel*>(entry.widget)->text();
    const QRect room = entry.widget->contentsRect();
    auto fits = [&](const QFont& f) {
        QFontMetrics fm(f);
        const QRect ink = fm.tightBoundingRect(text);
        return std::max(fm.horizontalAdvance(text), ink.right() + 1) <= room.width() &&
               fm.ascent() + ink.bottom() + 1 <= room.height();
    };
    constexpr qreal kSmallest = 6;
    while (!fits(font) && font.pointSizeF() > kSmallest)
        font.setPointSizeF(std::max(kSmallest, std::floor(font.pointSizeF() * 0.95)));
    entry.widget->setFont(font);
}

void QtWindow::SetFocus(int id)
{
    if (QWidget* w = Control(id))
        w->setFocus(Qt::OtherFocusReason);
}

int QtWindow::GetFocus() const
{
    const ControlEntry* e = EntryOf(focusWidget());
    return e ? e->id : 0;
}

QLineEdit* QtWindow::Edit(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

void QtWindow::SelectAllText(int id)
{
    if (QLineEdit* edit = Edit(id))
        edit->selectAll();
}

EditValidator* QtWindow::ValidatorOf(int id) const
{
    QLineEdit* edit = Edit(id);
    return edit ? qobject_cast<EditValidator*>(const_cast<QValidator*>(edit->validator()))
                : nullptr;
}

void QtWindow::SetLimitText(int id, int maxChars)
{
    if (EditValidator* v = ValidatorOf(id))
        v->SetMaxChars(maxChars);
}

QtUpDown* QtWindow::UpDown(int id) const
{
    return qobject_cast<QtUpDown*>(Control(id));
}

void QtWindow::SetUpDownRange(int id, int lower, int upper)
{
    if (QtUpDown* u = UpDown(id))
        u->SetRange(lower, upper);
}

void QtWindow::SetUpDownStep(int id, int step)
{
    if (QtUpDown* u = UpDown(id))
        u->SetStep(step);
}

// --- Check list box ---

QListWidget* QtWindow::List(int id) const
{
    return qobject_cast<QListWidget*>(Control(id));
}

QListWidgetItem* QtWindow::Item(int id, int pos) const
{
    QListWidget* list = List(id);
    return list && pos >= 0 && pos < list->count() ? list->item(pos) : nullptr;
}

int QtWindow::ListAddString(int id, const std::string& text)
{
    QListWidget* list = List(id);
    return list ? ListInsertString(id, list->count(), text) : -1;
}

int QtWindow::ListInsertString(int id, int pos, const std::string& text)
{
    QListWidget* list = List(id);
    if (!list)
        return -1;
    if (pos == -1)
        pos = list->count();
    if (pos < 0 || pos > list->count())
        return -1;
    auto* item = new QListWidgetItem(FromUtf8(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(0));
    list->insertItem(pos, item);
    return pos;
}

void QtWindow::ListDeleteString(int id, int pos)
{
    if (QListWidgetItem* item = Item(id, pos))
        delete item;
}

void QtWindow::ListSetItemData(int id, int pos, std::intptr_t data)
{
    if (QListWidgetItem* item = Item(id, pos))
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
}

std::intptr_t QtWindow::ListGetItemData(int id, int pos) const
{
    QListWidgetItem* item = Item(id, pos);
    return item ? static_cast<std::intptr_t>(item->data(Qt::UserRole).toLongLong()) : -1;
}

int QtWindow::ListGetCount(int id) const
{
    QListWidget* list = List(id);
    return list ? list->count() : 0;
}

int QtWindow::ListGetCurSel(int id) const
{
    QListWidget* list = List(id);
    if (!list)
        return -1;
    QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void QtWindow::ListSetCurSel(int id, int pos)
{
    QListWidget* list = List(id);
    if (!list)
        return;
    if (pos < 0 || pos >= list->count()) {
        list->clearSelection();
        return;
    }
    list->setCurrentRow(pos, QItemSelectionModel::ClearAndSelect);
    list->scrollToItem(list->item(pos));
}

std::string QtWindow::ListGetText(int id, int pos) const
{
    QListWidgetItem* item = Item(id, pos);
    return item ? ListTextOf(item) : std::string();
}

void QtWindow::ListSetCheck(int id, int pos, int state)
{
    if (QListWidgetItem* item = Item(id, pos))
        item->setCheckState(CheckStateOf(state));
}

int QtWindow::ListGetCheck(int id, int pos) const
{
    QListWidgetItem* item = Item(id, pos);
    return item ? StateOf(item->checkState()) : 0;
}

} // namespace platform
