// The desktop shell's mail link: the hardware report is one subject, whatever it holds.
#include "qt/qt_shell.h"

#include <gtest/gtest.h>

#include <QUrlQuery>

namespace fw::qt {
namespace {

TEST(QtShell, TheMailSubjectIsPercentEncodedSoNoCharacterAddsAField) {
  const std::string report = "Card & Co #2 d:1,5 100% a+b=c %41";
  const QUrl url = MailLink("mailto:hardware@fretwerk.example.org", report);
  EXPECT_EQ(url.toString(QUrl::FullyEncoded).toStdString(),
            "mailto:hardware@fretwerk.example.org?subject=Card%20%26%20Co%20%232%20d%3A1%2C5%20100%25%20a%"
            "2Bb%3Dc%20"
            "%2541");
  const QUrlQuery query(url);
  EXPECT_EQ(query.queryItems().size(), 1);
  EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded).toStdString(), report);
  EXPECT_TRUE(url.fragment().isEmpty());
}

}  // namespace
}  // namespace fw::qt
