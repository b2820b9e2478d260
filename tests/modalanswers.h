#ifndef MODALANSWERS_H
#define MODALANSWERS_H

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Points the settings at a folder of the test program's own, never the user's,
// and empties them.
inline void useFreshSettings()
{
    static QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    QSettings(QStringLiteral("Orlevant"), QStringLiteral("Zelvaro")).clear();
}

// Commands run their dialogs, message boxes and menus in nested event
// loops. These answer the next one from a timer, once it is shown, so that
// a test never blocks; after five seconds without one they give up.
inline void whenShown(std::function<QWidget *()> find, std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, find, act, tries] {
        QWidget *widget = find();
        if (!widget && ++*tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (widget)
            act(widget);
    });
    timer->start(10);
}

inline void whenModal(std::function<void(QWidget *)> act)
{
    whenShown([] { return QApplication::activeModalWidget(); }, std::move(act));
}

inline void whenPopup(std::function<void(QWidget *)> act)
{
    whenShown([] { return QApplication::activePopupWidget(); }, std::move(act));
}

// Answers the next modal widget when it is a T, and closes any other.
template <typename T, typename Act> void whenModalIs(Act act)
{
    whenModal([act](QWidget *widget) {
        if (T *t = qobject_cast<T *>(widget))
            act(t);
        else
            widget->close();
    });
}

// Answers every modal widget while it lives: the style question with `style`
// (cancelled when empty), the unsaved-changes question with `question`,
// other message boxes with OK, other dialogs with Cancel. What came up is in
// `seen`.
struct ModalAnswerer
{
    QString style;
    QMessageBox::StandardButton question = QMessageBox::Cancel;
    QStringList seen;
    QTimer timer;
    QPointer<QWidget> last;

    ModalAnswerer()
    {
        timer.callOnTimeout([this] {
            QWidget *widget = QApplication::activeModalWidget();
            if (!widget || widget == last)
                return;
            last = widget;
            if (auto *input = qobject_cast<QInputDialog *>(widget)) {
                seen << QStringLiteral("style|%1|%2|%3|%4")
                            .arg(input->windowTitle(), input->labelText(), input->comboBoxItems().join(','))
                            .arg(input->isComboBoxEditable());
                input->setTextValue(style);
                style.isEmpty() ? input->reject() : input->accept();
            } else if (auto *box = qobject_cast<QMessageBox *>(widget)) {
                const bool asks = box->icon() == QMessageBox::Question;
                seen << (asks ? QStringLiteral("question") : "warning|" + box->text());
                box->button(asks ? question : QMessageBox::Ok)->click();
            } else if (auto *dialog = qobject_cast<QDialog *>(widget)) {
                seen << QStringLiteral("dialog");
                dialog->reject();
            }
        });
        timer.start(10);
    }

    QStringList warnings() const { return seen.filter(QStringLiteral("warning|")); }
};

#endif
