#pragma once

#include <QString>

// The addresses the program links to, shown as the captions of the menu items and the about
// box's link labels, which open exactly what they show.

QString AuthorSiteAddress();
QString MakerSiteAddress();

/** "mailto:" and the author's address. */
QString AuthorMailLink();

/** The mail link with its fixed subject; left unencoded, as the mail program expects it. */
QString MailLinkWithSubject(const QString& mailLink);
