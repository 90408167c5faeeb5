#include "ui/TextDecode.h"

#include <QStringDecoder>
#include <array>

namespace quaverly::ui {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned ones map to the C1 control of the same
// value, as Windows itself does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeCp1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text.append(byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte));
  }
  return text;
}

}  // namespace

QString DecodeForDisplay(std::string_view bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return DecodeCp1252(bytes);
}

QString DisplayText(std::string_view bytes) {
  QString text;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    text += DecodeForDisplay(bytes.substr(start, end - start));
    if (end == bytes.size()) break;
    text += QLatin1Char('\n');
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return text;
}

}  // namespace quaverly::ui
