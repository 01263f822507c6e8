#pragma once
// The maker's contact details, in one place for every window that shows them: the about
// box's links and the main window's contact line and tray menu.
#include <QString>

namespace tolvarine::maker {

inline QString HomePage() { return QStringLiteral("http://www.quenmar.example/"); }
inline QString HomePageHost() { return QStringLiteral("www.quenmar.example"); }
inline QString ProductPage() { return QStringLiteral("http://soft.quenmar.example/tolvarine/"); }
inline QString ProductPageHost() { return QStringLiteral("soft.quenmar.example"); }
inline QString MailUrl() { return QStringLiteral("mailto:support@quenmar.example"); }
inline QString Telephone() { return QStringLiteral("010-00000000"); }
inline QString QqNumber() { return QStringLiteral("10000001"); }

}  // namespace tolvarine::maker
