// What opening a file on the configurator's sheet says it leaves out: the output trims and dormant alarm values.
#include <gtest/gtest.h>

#include "file_not_taken.h"
#include "text_convert.h"

namespace {

TEST(FileNotTakenText, NamesTheTrimsTheFileCarriesAndTheAlarmValuesNoWriteCarries) {
    FileExtras extras;
    EXPECT_EQ(FileNotTakenText(extras, {}), "") << "a file whose values all go onto the pages says nothing";

    extras.hasTrim[0] = extras.hasTrim[1] = true;  // zero_4a20, span_4a20
    std::string text = FileNotTakenText(extras, {});
    EXPECT_NE(text.find("calibração da saída (zero_4a20, span_4a20)"), std::string::npos) << text;
    EXPECT_NE(text.find("página Calibração"), std::string::npos) << text;
    EXPECT_EQ(text.find("alarme"), std::string::npos) << text;

    const std::vector<const ParameterKey*> dormant = {FindParameterKey("alarme_setpoint"),
                                                      FindParameterKey("alarme_histerese")};
    text = FileNotTakenText(FileExtras(), dormant);
    EXPECT_NE(text.find("alarme_setpoint, alarme_histerese: não são escritos enquanto a função de alarme for 0"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("calibração"), std::string::npos) << text;
    text = FileNotTakenText(extras, {dormant[0]});
    EXPECT_NE(text.find("alarme_setpoint: não é escrito"), std::string::npos) << text;
    EXPECT_NE(text.find("zero_4a20"), std::string::npos) << text;
}

}  // namespace
