// i18n.h - the language of the window's texts.
//
// The texts in the code are KORU's own captions as it has always shown
// them: English ones, and the Japanese ones of the CONFIG dialog (its
// title, "Configration", is spelt as it always was). Under a Japanese
// locale they are shown exactly as written. Under any other locale (C,
// POSIX and an unset LANG included) the English translation koru_en
// replaces them: every Japanese text, and the CONFIG title spelt right.
// Under a Japanese locale koru_ja gives the studio's structural edits
// (actions.h, context "Menu") in Japanese; KORU's own captions stay.
// The locale is Qt's reading of the environment (QLocale::system(): its
// first user-interface language, from LC_ALL, LC_MESSAGES, LANG and
// LANGUAGE), so no generated system locale is needed.
//
// The translations are built from app/qt/translations/*.ts with Qt's own
// tools (lrelease at every build, into the program as resources under
// :/i18n/; `cmake --build build --target update_translations` runs
// lupdate to add new texts to the .ts files).
//
// The rule for new texts: an English text needs no translation (mark it
// with tr() only if a translation is to change it); a text that holds
// Japanese characters must have a finished English translation in
// koru_en.ts. The test Translations.EveryJapaneseTextHasAFinishedEnglishOne
// runs lupdate over app/ and fails on a Japanese text without a finished
// translation.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

// The translation a locale wants: ":/i18n/koru_ja.qm" or ":/i18n/koru_en.qm".
QString translation_for(const QLocale &locale);

// Loads and installs the translation the system locale wants; false when
// it wants one that cannot be loaded.
bool install_translation(QCoreApplication &app, const QLocale &locale = QLocale::system());
