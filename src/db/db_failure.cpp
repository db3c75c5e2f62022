#include "db/db_failure.h"

#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct CodeMeaning {
  const char16_t* code;  // a whole SQLSTATE, or its two-character class
  const char16_t* meaning;
};

// The server's SQLSTATE: the whole code first, then its class.
constexpr std::array<CodeMeaning, 18> kServerCodes = {{
    {u"23505", u"ya hay en la BD una fila con la misma clave"},
    {u"25006", u"la BD sólo admite lectura"},
    {u"3D000", u"no existe esa base de datos en el servidor"},
    {u"42501", u"el usuario de la BD no tiene permiso para esta operación"},
    {u"42P01", u"falta una tabla en la BD"},
    {u"42703", u"falta una columna en la BD"},
    {u"57014", u"la consulta se ha cancelado"},
    {u"08", u"se ha perdido la conexión con el servidor de la BD"},
    {u"22", u"un dato no es válido para la BD"},
    {u"23", u"un dato no cumple una regla de la BD"},
    {u"28", u"el servidor de la BD no acepta el usuario o la contraseña"},
    {u"40", u"otra conexión ha cambiado los mismos datos a la vez; repita la operación"},
    {u"42", u"la BD no entiende la consulta"},
    {u"53", u"al servidor de la BD le faltan recursos (disco, memoria o conexiones)"},
    {u"55", u"la BD está ocupada por otra operación"},
    {u"57", u"el servidor de la BD se ha detenido o ha cerrado la sesión"},
    {u"58", u"el servidor de la BD no puede leer o escribir sus archivos"},
    {u"XX", u"error interno del servidor de la BD"},
}};

// SQLite's primary result codes (an extended code keeps its primary one in the low byte).
struct FileCodeMeaning {
  int code;
  const char16_t* meaning;
};
constexpr std::array<FileCodeMeaning, 12> kFileCodes = {{
    {1, u"la BD no entiende la consulta"},
    {3, u"no hay permiso para usar el archivo de la BD"},
    {5, u"la BD está ocupada por otro programa"},
    {6, u"la BD está ocupada por otro programa"},
    {8, u"el archivo de la BD es de sólo lectura"},
    {9, u"la consulta se ha cancelado"},
    {10, u"no se puede leer o escribir el archivo de la BD"},
    {11, u"el archivo de la BD está dañado"},
    {13, u"no queda espacio en el disco para la BD"},
    {14, u"no se puede abrir el archivo de la BD"},
    {19, u"un dato no cumple una regla de la BD"},
    {26, u"el archivo no es una base de datos"},
}};

constexpr const char16_t* kOtherCode = u"la BD ha rechazado la operación";

// A server names a failure by five characters; SQLite by a number of at most four digits.
constexpr qsizetype kSqlStateLength = 5;

QString serverMeaning(QStringView state) {
  for (const QStringView key : {state, state.left(2)}) {
    for (const CodeMeaning& known : kServerCodes) {
      if (key == QStringView(known.code)) {
        return QString::fromUtf16(known.meaning);
      }
    }
  }
  return QString::fromUtf16(kOtherCode);
}

QString fileMeaning(int code) {
  for (const FileCodeMeaning& known : kFileCodes) {
    if (known.code == (code & 0xff)) {
      return QString::fromUtf16(known.meaning);
    }
  }
  return QString::fromUtf16(kOtherCode);
}

// What the failure's code means; nothing for a failure without one (a connection that could
// not be made, a reason of the program's own).
QString meaningOf(const QString& code) {
  if (code.size() == kSqlStateLength) {
    return serverMeaning(code);
  }
  bool number = false;
  const int value = code.toInt(&number);
  return number && value != 0 ? fileMeaning(value) : QString();
}

// The first line that says something, its runs of blanks and tabs made one blank.
QString firstLine(const QString& text) {
  for (const QString& line : text.split(u'\n')) {
    if (const QString shown = line.simplified(); !shown.isEmpty()) {
      return shown;
    }
  }
  return {};
}

}  // namespace

QString reasonOf(const QSqlError& error) {
  const QString database = firstLine(error.databaseText());
  const QString words = database.isEmpty() ? firstLine(error.driverText()) : database;
  const QString meaning = meaningOf(error.nativeErrorCode());
  if (meaning.isEmpty()) {
    return words;
  }
  return words.isEmpty() ? meaning : meaning + u" ("_s + words + u')';
}
