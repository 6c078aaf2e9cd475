#include "core/tw.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {

namespace {

TEST(KeyNames, EveryNameLeadsBackToItsCode) {
    for (int model : {12, 15, 16})
        for (int code = 0; code < 40; ++code)
            EXPECT_EQ(tw_key_code(model, tw_key_name(model, code)), code) << model << " " << code;
}

TEST(KeyNames, ModelsDifferWhereTheirKeyboardsDo) {
    EXPECT_STREQ(tw_key_name(16, 12), "HEX");
    EXPECT_STREQ(tw_key_name(15, 0), "√x");
    EXPECT_STREQ(tw_key_name(12, 13), "Δ%");
    EXPECT_STREQ(tw_key_name(16, 24), "BSP");
    EXPECT_STREQ(tw_key_name(15, 24), "←");
    EXPECT_STREQ(tw_key_name(12, 24), "CLx");
    EXPECT_STREQ(tw_key_name(16, 29), "−");
    EXPECT_STREQ(tw_key_name(16, 35), "ENT2");
}

TEST(KeyNames, OutOfRangeGivesQuestionMark) {
    EXPECT_STREQ(tw_key_name(15, 40), "?");
    EXPECT_STREQ(tw_key_name(15, -1), "?");
    EXPECT_STREQ(tw_key_name(13, 0), "?");
    EXPECT_EQ(tw_key_code(13, "ON"), -1);
    EXPECT_EQ(tw_key_code(16, nullptr), -1);
}

struct AliasCase {
    int model;
    const char* typed;
    const char* name;
};

TEST(KeyNames, AliasesReachTheirKeys) {
    const AliasCase cases[] = {
        {16, "*", "×"},     {16, "X", "×"},      {16, "x", "×"},       {16, "/", "÷"},      {16, "-", "−"},
        {16, "rdn", "R↓"},  {16, "RDOWN", "R↓"}, {16, "xy", "x<>y"},   {16, "X<>Y", "x<>y"}, {16, "<-", "BSP"},
        {16, "back", "BSP"}, {16, "rs", "R/S"},
        {15, "sqrt", "√x"}, {15, "EX", "e^x"},   {15, "e^x", "e^x"},   {15, "10X", "10^x"}, {15, "10^X", "10^x"},
        {15, "yx", "y^x"},  {15, "Y^X", "y^x"},  {15, "1/X", "1/x"},   {15, "<-", "←"},     {15, "BSP", "←"},
        {15, "BACK", "←"},  {15, "S+", "Σ+"},    {15, "sigma+", "Σ+"}, {15, "RDN", "R↓"},   {15, "XY", "x<>y"},
        {15, "X<>Y", "x<>y"}, {15, "*", "×"},    {15, "/", "÷"},       {15, "-", "−"},      {15, "RS", "R/S"},
        {12, "YX", "y^x"},  {12, "Y^X", "y^x"},  {12, "1/X", "1/x"},   {12, "%t", "%T"},    {12, "d%", "Δ%"},
        {12, "S+", "Σ+"},   {12, "SIGMA+", "Σ+"}, {12, "RDN", "R↓"},   {12, "XY", "x<>y"},  {12, "X<>Y", "x<>y"},
        {12, "bsp", "CLx"}, {12, "*", "×"},      {12, "/", "÷"},       {12, "-", "−"},      {12, "RS", "R/S"},
    };
    for (const AliasCase& c : cases) {
        int code = tw_key_code(c.model, c.typed);
        ASSERT_GE(code, 0) << c.model << " " << c.typed;
        EXPECT_STREQ(tw_key_name(c.model, code), c.name) << c.model << " " << c.typed;
    }
}

TEST(KeyNames, ExactAndUpperCaseMatches) {
    EXPECT_EQ(tw_key_code(16, "rdn"), 22);
    EXPECT_EQ(tw_key_code(15, "sqrt"), 0);
    EXPECT_EQ(tw_key_code(12, "%t"), 12);
    EXPECT_EQ(tw_key_code(12, "x<>y"), 23);
    EXPECT_EQ(tw_key_code(15, "HEX"), -1);
    EXPECT_EQ(tw_key_code(16, "enter"), 25); // upper-cased exact match
    EXPECT_EQ(tw_key_code(16, "hex"), 12);
    EXPECT_EQ(tw_key_code(12, "n"), 0);      // exact match before upper-casing
    EXPECT_EQ(tw_key_code(12, "N"), -1);
}

TEST(KeyNames, LongNamesAreCutNotOverrun) {
    const std::string longName(200, 'a');
    EXPECT_EQ(tw_key_code(16, longName.c_str()), -1);
    EXPECT_EQ(tw_key_code(16, (std::string(31, ' ') + "RDN").c_str()), -1);
}

} // namespace

} // namespace tw
