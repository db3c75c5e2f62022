#pragma once

#include <QString>

#include "web/web_exchange.h"

/** A small Spanish HTML page with the given status: a title and one sentence, both escaped. */
WebResponse errorPage(int status, const QString& title, const QString& detail);
