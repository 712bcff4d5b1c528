#include "platform/qt_top_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "platform/codepage.h"
#include "platform/process.h"
#include "platform/qt_custom_control.h"
#include "platform/qt_window.h"

namespace qrlogo::platform {
namespace {

QString FromCodePage(std::string_view bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}

std::string ToCodePage(const QString& text) { return Utf8ToCodePage(text.toStdString()); }

class QtPushButton final : public PushButton {
public:
    // A click still queued when the window closes reaches no handler: for the program the
    // window and its buttons are gone.
    QtPushButton(QPushButton* button, const bool* windowClosed) : m_button(button) {
        QObject::connect(button, &QPushButton::clicked, button, [this, windowClosed] {
            if (m_handler && !IsEventDeliverySuspended() && !*windowClosed) m_handler();
        });
    }
    void SetClickedHandler(std::function<void()> handler) override { m_handler = std::move(handler); }
    std::string Text() const override { return ToCodePage(m_button->text()); }

private:
    QPushButton* m_button;
    std::function<void()> m_handler;
};

class QtLabel final : public Label {
public:
    explicit QtLabel(QLabel* label) : m_label(label) {}
    std::string Text() const override { return ToCodePage(m_label->text()); }

private:
    QLabel* m_label;
};

// The multi-line edit box hides its selection while it does not have the focus.
class PlainEdit final : public QPlainTextEdit {
public:
    explicit PlainEdit(QWidget* parent) : QPlainTextEdit(parent) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        setPalette(m_focusedPalette);
        QPlainTextEdit::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QPalette unfocused = m_focusedPalette;
        unfocused.setColor(QPalette::Highlight, unfocused.color(QPalette::Base));
        unfocused.setColor(QPalette::HighlightedText, unfocused.color(QPalette::Text));
        setPalette(unfocused);
        QPlainTextEdit::focusOutEvent(event);
    }

public:
    QPalette m_focusedPalette;
};

class QtEditBox final : public EditBox {
public:
    explicit QtEditBox(QPlainTextEdit* edit) : m_edit(edit) {}
    std::string Content() const override {
        QString text = m_edit->toPlainText();
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return ToCodePage(text);
    }
    void SetContent(std::string_view codePageBytes) override {
        QString text = FromCodePage(codePageBytes);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        m_edit->setPlainText(text);
    }

private:
    QPlainTextEdit* m_edit;
};

QPixmap IconPixmap(const PixelBuffer& icon) {
    const QImage image(reinterpret_cast<const uchar*>(icon.pixels.data()), icon.width,
                       icon.height, icon.width * 4, QImage::Format_ARGB32);
    return QPixmap::fromImage(image.copy());
}

}  // namespace

struct QtTopWindow::Component {
    ControlKind kind;
    QWidget* widget = nullptr;
    WindowHandle handle = 0;
    std::unique_ptr<PushButton> button;
    std::unique_ptr<Label> label;
    std::unique_ptr<EditBox> editBox;
    QtCustomControl* custom = nullptr;
};

QtTopWindow::QtTopWindow(const WindowLayout& layout)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint),
      m_outerWidth(layout.outerWidth),
      m_outerHeight(layout.outerHeight) {
    setObjectName(QStringLiteral("qrlogo-main-window"));
    setWindowTitle(FromCodePage(layout.caption));
    if (layout.icon != nullptr && !layout.icon->IsEmpty()) setWindowIcon(IconPixmap(*layout.icon));
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor::fromRgb(ButtonFaceColour()));
    setPalette(background);
    setAutoFillBackground(true);
    // Until the frame is known the client area takes the whole outer size; showEvent
    // corrects it once the window manager has framed the window.
    setFixedSize(m_outerWidth, m_outerHeight);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.x() + (screen.width() - m_outerWidth) / 2,
         screen.y() + (screen.height() - m_outerHeight) / 2);
    BuildComponents(layout);
    SetTabOrder(layout);
    RegisterWindow(this);
    SetMainWindowWidget(this, &m_closed);
    qApp->installEventFilter(this);
}

QtTopWindow::~QtTopWindow() {
    qApp->removeEventFilter(this);
    SetMainWindowWidget(nullptr, nullptr);
}

void QtTopWindow::BuildComponents(const WindowLayout& layout) {
    for (const ControlLayout& control : layout.controls) {
        auto component = std::make_unique<Component>();
        component->kind = control.kind;
        const QString text = FromCodePage(control.text);
        switch (control.kind) {
            case ControlKind::Button: {
                auto* button = new QPushButton(text, this);
                button->setAutoDefault(false);
                button->setDefault(false);
                component->widget = button;
                component->button = std::make_unique<QtPushButton>(button, &m_closed);
                break;
            }
            case ControlKind::Label: {
                auto* label = new QLabel(text, this);
                label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                QPalette black = label->palette();
                black.setColor(QPalette::WindowText, Qt::black);
                label->setPalette(black);
                component->widget = label;
                component->label = std::make_unique<QtLabel>(label);
                break;
            }
            case ControlKind::EditBox: {
                auto* edit = new PlainEdit(this);
                edit->setTabChangesFocus(true);
                edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
                edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                edit->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
                QPalette colours = edit->palette();
                colours.setColor(QPalette::Base, Qt::white);
                colours.setColor(QPalette::Text, Qt::black);
                edit->m_focusedPalette = colours;
                edit->setPalette(colours);
                component->widget = edit;
                component->editBox = std::make_unique<QtEditBox>(edit);
                break;
            }
            case ControlKind::PicBox:
            case ControlKind::CartoonBox: {
                component->custom = new QtCustomControl(this);
                component->widget = component->custom;
                break;
            }
            case ControlKind::CommonDlg:
                break;
        }
        if (QWidget* widget = component->widget) {
            widget->setObjectName(QString::fromUtf8(control.name.data(),
                                                    static_cast<qsizetype>(control.name.size())));
            widget->hide();
            widget->setGeometry(control.rect.left, control.rect.top, control.rect.width,
                                control.rect.height);
            widget->setFocusPolicy(!control.tabStop ? Qt::NoFocus
                                   : control.kind == ControlKind::CartoonBox ? Qt::TabFocus
                                                                             : Qt::StrongFocus);
            component->handle = RegisterWindow(widget);
        }
        m_components.push_back(std::move(component));
    }
    // Later siblings lie above earlier ones: raise from the bottom of the table up, so the
    // first component ends on top.
    for (auto it = m_components.rbegin(); it != m_components.rend(); ++it) {
        if ((*it)->widget != nullptr) (*it)->widget->raise();
    }
    for (std::size_t i = 0; i < m_components.size(); ++i) {
        if (m_components[i]->widget != nullptr) {
            m_components[i]->widget->setVisible(layout.controls[i].visibleAtStart);
        }
    }
}

void QtTopWindow::SetTabOrder(const WindowLayout& layout) {
    // Tab stops by key ascending; among equal keys from the bottom of the table upward.
    std::vector<std::size_t> stops;
    for (std::size_t i = layout.controls.size(); i-- > 0;) {
        if (layout.controls[i].tabStop && m_components[i]->widget != nullptr) stops.push_back(i);
    }
    std::stable_sort(stops.begin(), stops.end(), [&](std::size_t a, std::size_t b) {
        return layout.controls[a].tabOrderKey < layout.controls[b].tabOrderKey;
    });
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        QWidget::setTabOrder(m_components[stops[i]]->widget, m_components[stops[i + 1]]->widget);
    }
    m_firstTabStop = stops.empty() ? nullptr : m_components[stops.front()]->widget;
}

void QtTopWindow::SetCaption(std::string_view codePageBytes) {
    setWindowTitle(FromCodePage(codePageBytes));
}

std::string QtTopWindow::Caption() const { return ToCodePage(windowTitle()); }

void QtTopWindow::SetClosedHandler(std::function<void()> handler) {
    m_closedHandler = std::move(handler);
}

void QtTopWindow::ShowAndActivate() {
    show();
    activateWindow();
    raise();
    if (m_firstTabStop != nullptr) m_firstTabStop->setFocus(Qt::OtherFocusReason);
}

Rect QtTopWindow::OuterRect() const {
    const QRect frame = frameGeometry();
    return Rect{frame.x(), frame.y(), frame.width(), frame.height()};
}

PushButton& QtTopWindow::ButtonAt(std::size_t index) { return *m_components.at(index)->button; }
Label& QtTopWindow::LabelAt(std::size_t index) { return *m_components.at(index)->label; }
EditBox& QtTopWindow::EditBoxAt(std::size_t index) { return *m_components.at(index)->editBox; }
CustomControl& QtTopWindow::CustomControlAt(std::size_t index) {
    return *m_components.at(index)->custom;
}
WindowHandle QtTopWindow::HandleAt(std::size_t index) const {
    return m_components.at(index)->handle;
}

void QtTopWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closed) return;
    m_closed = true;
    if (m_closedHandler) m_closedHandler();
}

void QtTopWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    KeepOuterSize();
    // Window managers report the frame a moment after mapping: look again then.
    QTimer::singleShot(100, this, [this] { KeepOuterSize(); });
}

void QtTopWindow::KeepOuterSize() {
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client(m_outerWidth - frame.width(), m_outerHeight - frame.height());
    if (client != size() && client.width() > 0 && client.height() > 0) setFixedSize(client);
}

bool QtTopWindow::eventFilter(QObject* watched, QEvent* event) {
    // The window looks at each key stroke before the focused component: Esc closes it,
    // as its close button does, from every component, the edit box included.
    if (event->type() == QEvent::KeyPress && !m_closed) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget != nullptr && widget->window() == this && key->key() == Qt::Key_Escape &&
            key->modifiers() == Qt::NoModifier) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

std::unique_ptr<TopWindow> CreateTopWindow(const WindowLayout& layout) {
    if (QApplication::instance() == nullptr || QGuiApplication::primaryScreen() == nullptr) {
        return nullptr;
    }
    return std::make_unique<QtTopWindow>(layout);
}

}  // namespace qrlogo::platform
