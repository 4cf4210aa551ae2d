#include "InformationMessages.h"

#include <gtest/gtest.h>

namespace Info = parlowen::InformationMessages;

TEST(InformationMessagesTest, TextsAreTheirFixedLinesJoinedByCrLf) {
    const std::string product = "プログラム名\u3000チャットログ編集ツール Parlowen Pro";
    const std::string version = "\u3000\u3000\u3000\u3000\u3000\u3000\u3000\u3000(Ver 1.00)";
    const std::string credits = "作成・制作\u3000Parlowen プロジェクト\r\n"
                                "                Parlowen Project\r\n"
                                "                parlowen@example.org";
    EXPECT_EQ(Info::ProductInformationText().toStdString(), product + "\r\n" + version + "\r\n" + credits);
    EXPECT_EQ(Info::CreditText().toStdString(), credits);
    EXPECT_EQ(Info::VersionInformationText().toStdString(), product + "\r\n" + version);
    EXPECT_EQ(Info::ProductInformationTitle().toStdString(), "Product Information");
    EXPECT_EQ(Info::VersionInformationTitle().toStdString(), "Version Information");
}
