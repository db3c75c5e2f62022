#include "output/template_engine.h"

#include <QRegularExpression>

#include "output/template_fields.h"

using namespace Qt::StringLiterals;

namespace {

using Mustache = kainjow::mustache::mustache;

// What a render writes to: the output string itself, without a stream in between.
struct Appender {
  std::string& out;
  Appender& operator<<(const std::string& text) {
    out += text;
    return *this;
  }
};

struct Delimiters {
  QString open = u"{{"_s;
  QString close = u"}}"_s;
};

// "{{=<% %>=}}" alone on its line gives the new delimiters.
std::optional<Delimiters> delimiterChange(QStringView line, const Delimiters& current) {
  if (!line.startsWith(current.open + u'=') || !line.endsWith(u'=' + current.close)) {
    return std::nullopt;
  }
  const QStringView inner = line.sliced(
      current.open.size() + 1, line.size() - current.open.size() - current.close.size() - 2);
  const QStringList halves = inner.trimmed().toString().split(u' ', Qt::SkipEmptyParts);
  if (halves.size() != 2) {
    return std::nullopt;
  }
  return Delimiters{halves[0], halves[1]};
}

// A line that is one tag of the kind (after the opening delimiter: "!", or "#^/" for sections).
bool isLoneTag(QStringView line, const Delimiters& current, QStringView kinds) {
  return line.startsWith(current.open) && line.size() > current.open.size() &&
         kinds.contains(line[current.open.size()]) && line.endsWith(current.close) &&
         line.indexOf(current.close) == line.size() - current.close.size();
}

// Lines holding only a comment are dropped, and lines holding only a change of delimiters or the
// start or end of a section keep the tag without their indent and line break, so none leaves a
// blank line behind whether the section shows or not.
QString withoutStandaloneLines(const QString& text) {
  QString kept;
  Delimiters delimiters;
  const QList<QStringView> lines = QStringView(text).split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QStringView line = lines[i];
    const bool lineBreak = i + 1 < lines.size();
    const QStringView bare = line.trimmed();
    if (const std::optional<Delimiters> changed = delimiterChange(bare, delimiters)) {
      kept += bare;
      delimiters = *changed;
    } else if (isLoneTag(bare, delimiters, u"#^/")) {
      kept += bare;
    } else if (!isLoneTag(bare, delimiters, u"!")) {
      kept += line;
      kept += lineBreak ? u"\n" : u"";
    }
  }
  return kept;
}

// kainjow's "Unclosed section \"x\" at 14" in Spanish, with the line and column of byte 14.
QString positionedError(const std::string& text, const std::string& message) {
  static const QRegularExpression pattern(u"^(.*?)(?: \"(.*)\")? at (\\d+)$"_s);
  const QRegularExpressionMatch match = pattern.match(QString::fromStdString(message));
  if (!match.hasMatch()) {
    return QString::fromStdString(message);
  }
  const std::size_t at = std::min<std::size_t>(match.captured(3).toULongLong(), text.size());
  const std::string before = text.substr(0, at);
  const std::size_t lineStart =
      before.rfind('\n') == std::string::npos ? 0 : before.rfind('\n') + 1;
  const int line = int(std::count(before.begin(), before.end(), '\n')) + 1;
  const int column = int(QString::fromStdString(before.substr(lineStart)).size()) + 1;
  const QString kind = match.captured(1);
  const QString name = match.captured(2);
  QString reason;
  if (kind == u"Unclosed section") {
    reason = u"falta cerrar {{#%1}}"_s.arg(name);
  } else if (kind == u"Unopened section") {
    reason = u"{{/%1}} cierra una sección que no está abierta"_s.arg(name);
  } else if (kind == u"Unclosed tag") {
    reason = u"falta cerrar la etiqueta"_s;
  } else if (kind == u"Invalid set delimiter tag") {
    reason = u"cambio de delimitadores no válido"_s;
  } else {
    reason = QString::fromStdString(message);
  }
  return u"línea %1, columna %2: %3"_s.arg(line).arg(column).arg(reason);
}

// Empty text when the part parses, else where and why it does not.
QString parseError(const QString& text) {
  const std::string utf8 = text.toStdString();
  const Mustache parsed(utf8);
  return parsed.is_valid() ? QString() : positionedError(utf8, parsed.error_message());
}

const QRegularExpression& partialTag() {
  static const QRegularExpression pattern(
      u"(^[ \\t]*)?\\{\\{>\\s*([^}]*?)\\s*\\}\\}([ \\t]*\\n)?"_s,
      QRegularExpression::MultilineOption);
  return pattern;
}

// The part with its partials put in place: the same part of the template each one names. A
// partial alone on its line takes the whole line.
QString withPartials(const QString& text, TemplatePart part, const PartialLookup& lookup, int depth,
                     QString& error) {
  QString expanded;
  qsizetype done = 0;
  QRegularExpressionMatchIterator it = partialTag().globalMatch(text);
  while (it.hasNext() && error.isEmpty()) {
    const QRegularExpressionMatch match = it.next();
    const bool alone =
        match.capturedLength(1) >= 0 && match.capturedStart(1) >= 0 && match.capturedLength(3) > 0;
    expanded += QStringView(text).sliced(done, match.capturedStart() - done);
    if (!alone) {
      expanded += match.captured(1);
    }
    done = match.capturedEnd();
    const QString name = match.captured(2);
    if (depth >= kMaxPartialDepth) {
      error =
          u"la parcial {{>%1}} se incluye a más de %2 niveles de profundidad (¿se incluye a "
          u"sí misma?)"_s.arg(name)
              .arg(kMaxPartialDepth);
      break;
    }
    const std::optional<ExportTemplate> named = lookup(name, error);
    if (!named) {
      error = u"parcial {{>%1}}: %2"_s.arg(name, error);
      break;
    }
    const QString inner = withoutStandaloneLines(named->part(part));
    if (const QString invalid = parseError(inner); !invalid.isEmpty()) {
      error = u"parcial «%1», %2, %3"_s.arg(name, templatePartKey(part), invalid);
      break;
    }
    expanded += withPartials(inner, part, lookup, depth + 1, error);
    if (!alone) {
      expanded += match.captured(3);
    }
  }
  expanded += QStringView(text).sliced(done);
  return expanded;
}

// The names of the fields a part's tags name, sections included, following its changes of
// delimiters as the parser does.
QStringList namedFields(const QString& text) {
  QStringList names;
  Delimiters delimiters;
  qsizetype at = 0;
  while ((at = text.indexOf(delimiters.open, at)) >= 0) {
    const qsizetype start = at + delimiters.open.size();
    const bool triple = delimiters.open == u"{{" && text.mid(start, 1) == u"{";
    const QString close = triple ? u"}}}"_s : delimiters.close;
    const qsizetype end = text.indexOf(close, start);
    if (end < 0) {
      break;
    }
    QString inner = text.mid(start + (triple ? 1 : 0), end - start - (triple ? 1 : 0)).trimmed();
    at = end + close.size();
    if (inner.startsWith(u'=')) {
      if (const std::optional<Delimiters> changed =
              delimiterChange(delimiters.open + inner + delimiters.close, delimiters)) {
        delimiters = *changed;
      }
      continue;
    }
    if (inner.startsWith(u'!') || inner.startsWith(u'>')) {
      continue;
    }
    if (!inner.isEmpty() && u"#^/&"_s.contains(inner.front())) {
      inner = inner.sliced(1).trimmed();
    }
    if (!inner.isEmpty() && inner != u".") {
      names.append(inner);
    }
  }
  return names;
}

void appendReplacement(std::string& out) {
  out += "\xEF\xBF\xBD";
}

bool isControl(char c) {
  return uchar(c) < 0x20 || c == 0x7f;
}

std::string escapeMarkup(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 16);
  for (const char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      case '\t':
        out += c;
        break;
      default:
        // Other control characters are not allowed in HTML or XML text at all.
        isControl(c) ? appendReplacement(out) : void(out += c);
    }
  }
  return out;
}

std::string escapeJson(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 16);
  for (const char c : value) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (uchar(c) < 0x20) {
          static const char* hex = "0123456789abcdef";
          out += "\\u00";
          out += hex[uchar(c) >> 4];
          out += hex[uchar(c) & 15];
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string withoutLineBreaks(std::string value) {
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return value;
}

}  // namespace

std::string escapeTemplateValue(TemplateKind kind, const std::string& value) {
  switch (kind) {
    case TemplateKind::Html:
    case TemplateKind::Xml:
      return escapeMarkup(value);
    case TemplateKind::Json:
      return escapeJson(value);
    case TemplateKind::M3u:
      return withoutLineBreaks(value);
    case TemplateKind::Text:
      break;
  }
  return value;
}

TemplateRecord::TemplateRecord(const std::unordered_set<std::string>* used) : used_(used) {}

bool TemplateRecord::wants(const std::string& key) const {
  return used_->contains(key);
}

void TemplateRecord::put(const std::string& key, const QString& value) {
  if (!wants(key)) {
    return;
  }
  if (value.isEmpty()) {
    data_.set(key, kainjow::mustache::data(false));
  } else {
    data_.set(key, kainjow::mustache::data(value.toStdString()));
  }
}

void TemplateRecord::putFlag(const std::string& key, bool value) {
  if (wants(key)) {
    data_.set(key, kainjow::mustache::data(value));
  }
}

std::optional<CompiledTemplate> CompiledTemplate::compile(const ExportTemplate& tmpl,
                                                          const PartialLookup& lookup,
                                                          QString& error, QStringList& warnings) {
  CompiledTemplate compiled;
  compiled.source_ = tmpl;
  const QSet<QString> known = templateFieldNames();
  for (int i = 0; i < kTemplatePartCount; ++i) {
    const auto part = TemplatePart(i);
    const QString& text = tmpl.part(part);
    if (text.isEmpty()) {
      continue;
    }
    if (const QString invalid = parseError(text); !invalid.isEmpty()) {
      error = templatePartKey(part) + u", "_s + invalid;
      return std::nullopt;
    }
    const QString expanded = withPartials(withoutStandaloneLines(text), part, lookup, 0, error);
    if (!error.isEmpty()) {
      return std::nullopt;
    }
    for (const QString& name : namedFields(expanded)) {
      compiled.used_.insert(name.toStdString());
      const QString warning = u"campo desconocido: {{%1}}"_s.arg(name);
      if (!known.contains(name) && !warnings.contains(warning)) {
        warnings.append(warning);
      }
    }
    auto parsed = std::make_shared<Mustache>(expanded.toStdString());
    if (!parsed->is_valid()) {
      error = templatePartKey(part) + u": "_s + QString::fromStdString(parsed->error_message());
      return std::nullopt;
    }
    parsed->set_custom_escape(
        [kind = tmpl.kind](const std::string& value) { return escapeTemplateValue(kind, value); });
    compiled.parts_[std::size_t(i)] = std::move(parsed);
  }
  return compiled;
}

bool CompiledTemplate::has(TemplatePart part) const {
  return parts_[std::size_t(part)] != nullptr;
}

void CompiledTemplate::render(TemplatePart part,
                              std::initializer_list<const TemplateRecord*> records,
                              std::string& out) const {
  const std::shared_ptr<Mustache>& parsed = parts_[std::size_t(part)];
  if (!parsed) {
    return;
  }
  kainjow::mustache::context<std::string> context;
  for (const TemplateRecord* record : records) {
    context.push(&record->data());
  }
  Appender appender{out};
  parsed->render(context, appender);
}
