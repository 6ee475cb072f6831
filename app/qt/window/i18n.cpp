#include "app/qt/window/i18n.h"

#include <QCoreApplication>
#include <QTranslator>

QString translation_for(const QLocale &locale)
{
    const QStringList ui = locale.uiLanguages();
    const QLocale first = ui.isEmpty() ? locale : QLocale(ui.first());
    return first.language() == QLocale::Japanese ? ":/i18n/koru_ja.qm" : ":/i18n/koru_en.qm";
}

bool install_translation(QCoreApplication &app, const QLocale &locale)
{
    const QString file = translation_for(locale);
    // the application owns it, and keeps it for its whole life
    auto *t = new QTranslator(&app);
    if (!t->load(file)) {
        delete t;
        return false;
    }
    return QCoreApplication::installTranslator(t);
}
