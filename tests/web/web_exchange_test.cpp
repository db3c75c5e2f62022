#include <gtest/gtest.h>

#include "web/web_exchange.h"

using namespace Qt::StringLiterals;

TEST(WebExchange, ParametersAreReadDecodedAndAbsentOnesAreEmpty) {
  WebRequest request;
  request.query = QUrlQuery(u"q=se%C3%B1or+de&pagina=2"_s);
  EXPECT_EQ(queryValue(request, u"pagina"_s), u"2"_s);
  EXPECT_EQ(queryValue(request, u"en"_s), QString());
}
