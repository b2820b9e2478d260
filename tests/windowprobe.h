#ifndef WINDOWPROBE_H
#define WINDOWPROBE_H

#include "view/tline.h"

#include <QApplication>
#include <QColor>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Reads protected members through pointers to members named in a derived
// class, which the language allows without touching the objects' types.
struct TLineProbe : TLine
{
    static QSet<int> flagsOf(const TLine *t) { return t->*(&TLineProbe::displayFlags); }
    static int maxPosOf(const TLine *t) { return t->*(&TLineProbe::maxPos); }
    static double dayWidthOf(const TLine *t) { return t->*(&TLineProbe::dayWidth); }
    static double posHeightOf(const TLine *t) { return t->*(&TLineProbe::posHeight); }
    static int tPosOf(const TLine *t) { return t->*(&TLineProbe::tPos); }
    static QList<QColor> bgColorsOf(const TLine *t) { return t->*(&TLineProbe::bgColors); }
    static QDate startOf(const TLine *t) { return t->*(&TLineProbe::start); }
    static QDate endOf(const TLine *t) { return t->*(&TLineProbe::end); }
    static QList<QRect> itemRectsOf(const TLine *t) { return t->*(&TLineProbe::itemRects); }
    static QPoint dragStartPosOf(const TLine *t) { return t->*(&TLineProbe::dragStartPos); }
};

struct ObjectProbe : QObject
{
    static int receiversOf(const QObject *o, const char *signal) { return (o->*(&ObjectProbe::receivers))(signal); }
};

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

#endif
