#include "params/ModelTable.h"

#include <gtest/gtest.h>

using namespace kvd;

TEST(ModelTable, LooksUpTextsAndCodes) {
    EXPECT_EQ(modelText(1205), "2P5");
    EXPECT_EQ(modelText(202), "202");
    EXPECT_EQ(modelText(999), "");
    EXPECT_EQ(modelName(401), "KVD-401-H");
    EXPECT_EQ(modelName(0), "");
    EXPECT_EQ(modelCode("KVD230S-02F", 0), 1202);
    EXPECT_EQ(modelCode("KVD230S-02", 777), 777); // no partial match: caller keeps its code
}

TEST(ModelTable, VoltageClasses) {
    const struct {
        int code;
        VoltageClass cls;
    } cases[] = {{203, VoltageClass::Low},  {1202, VoltageClass::Low},
                 {1105, VoltageClass::Low}, {402, VoltageClass::High},
                 {400, VoltageClass::Neither}, {399, VoltageClass::Low},
                 {1300, VoltageClass::High}};
    for (const auto& c : cases)
        EXPECT_EQ(voltageClass(c.code), c.cls) << c.code;
}
