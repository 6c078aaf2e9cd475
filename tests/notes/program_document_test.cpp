#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "notes/program_document.h"
#include "listing.h"

namespace tw {
namespace {

using testing::listing;
using testing::step;
using Strings = std::vector<std::string>;
using Change = ProgramDocument::CommentChange;

std::vector<std::uint8_t> bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string text(const std::vector<std::uint8_t>& data) {
    return std::string(data.begin(), data.end());
}

bool isCorrupt(const std::string& file) {
    return std::holds_alternative<ProgramDocument::CorruptFile>(ProgramDocument::decode(bytes(file)));
}

ProgramDocument read(const std::string& file) {
    auto decoded = ProgramDocument::decode(bytes(file));
    EXPECT_TRUE(std::holds_alternative<ProgramDocument>(decoded)) << file;
    return std::holds_alternative<ProgramDocument>(decoded) ? std::get<ProgramDocument>(decoded) : ProgramDocument{};
}

ProgramDocument fullDocument() {
    ProgramDocument doc;
    doc.title = "Loan «payment»";
    doc.author = "A. Ñuñez";
    doc.description = "Line one\nLine two\twith a tab";
    doc.model = "HP-15C";
    doc.labels = {{"A", "entry"}, {".1", ""}, {"I (indirect)", "jump table"}};
    doc.registers = {{"R1", {"rate", "per month"}}, {"Matrix A", {"", "coefficients"}}};
    doc.flags = {{"8", "complex"}};
    doc.comments = {StepComment{3, "start ∫ here", "42,21,11", {"45 1"}, {"44 2", "43 32"}, false},
                    StepComment{12, "old", "45,16,11", {}, {}, true}};
    return doc;
}

TEST(NotesFile, EmptyDocumentHasEveryKey) {
    const ProgramDocument empty;
    const std::string file = text(empty.encoded());
    EXPECT_EQ(file, "{\n"
                    "  \"author\": \"\",\n"
                    "  \"comments\": [],\n"
                    "  \"description\": \"\",\n"
                    "  \"flags\": {},\n"
                    "  \"format\": \"orvanedoc\",\n"
                    "  \"labels\": {},\n"
                    "  \"model\": \"\",\n"
                    "  \"registers\": {},\n"
                    "  \"title\": \"\",\n"
                    "  \"version\": 1\n"
                    "}");
    EXPECT_EQ(read(file), empty);
}

TEST(NotesFile, WrittenSortedAndReadBackEqual) {
    const ProgramDocument doc = fullDocument();
    const std::string file = text(doc.encoded());
    EXPECT_EQ(read(file), doc);
    // Members of every object sorted, maps included; comments keep list order.
    EXPECT_LT(file.find("\"after\""), file.find("\"before\""));
    EXPECT_LT(file.find("\".1\""), file.find("\"A\""));
    EXPECT_LT(file.find("\"step\": 3"), file.find("\"step\": 12"));
    EXPECT_NE(file.find("\n    \"A\": \"entry\""), std::string::npos); // nested members indented
    EXPECT_NE(file.front(), '\xEF');                                    // no byte-order mark
    EXPECT_EQ(nlohmann::json::parse(file)["comments"][1]["orphaned"], true);
}

TEST(NotesFile, ReaderAcceptsAnyOrderAndWhiteSpaceAndIgnoresExtraMembers) {
    const ProgramDocument doc = read(R"( { "version": 7, "format": "orvanedoc", "title": "T", "author": "",
        "description": "", "model": "HP-16C", "labels": {}, "registers": {"R1": {"meaning": "m", "name": "n", "x": 1}},
        "flags": {"3": "f"}, "comments": [], "extra": [1, 2, {}] }
    )");
    EXPECT_EQ(doc.version, 7);
    EXPECT_EQ(doc.title, "T");
    EXPECT_EQ(doc.registers.at("R1"), (RegisterNote{"n", "m"}));
    EXPECT_EQ(doc.flags.at("3"), "f");
}

TEST(NotesFile, StrictReading) {
    const nlohmann::json good = nlohmann::json::parse(text(fullDocument().encoded()));
    const auto corruptWith = [&](const auto& change) {
        nlohmann::json file = good;
        change(file);
        return isCorrupt(file.dump());
    };
    EXPECT_FALSE(corruptWith([](nlohmann::json&) {}));

    // Every key of the document and of a comment must be there.
    for (const char* key : {"format", "version", "title", "author", "description", "model", "labels", "registers",
                            "flags", "comments"}) {
        EXPECT_TRUE(corruptWith([&](nlohmann::json& f) { f.erase(key); })) << key;
    }
    for (const char* key : {"step", "text", "keys", "before", "after", "orphaned"}) {
        EXPECT_TRUE(corruptWith([&](nlohmann::json& f) { f["comments"][0].erase(key); })) << key;
    }
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["registers"]["R1"].erase("meaning"); }));

    // Wrong types: integers must be integers, not booleans or fractions.
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["version"] = true; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["version"] = 1.5; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["version"] = 1.0; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["version"] = "1"; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0]["step"] = false; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0]["step"] = 3.0; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0]["step"] = 18446744073709551615ull; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0]["orphaned"] = 0; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0]["before"] = {1}; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0]["after"] = "44 2"; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["labels"]["A"] = nullptr; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["registers"]["R1"] = "rate"; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"] = nlohmann::json::object(); }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["comments"][0] = 3; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["title"] = nlohmann::json::array(); }));

    // The format word, and what is not one JSON object.
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f["format"] = "Orvanedoc"; }));
    EXPECT_TRUE(corruptWith([](nlohmann::json& f) { f = nlohmann::json::array({f}); }));
    EXPECT_FALSE(corruptWith([](nlohmann::json& f) { f["version"] = -9223372036854775807LL - 1; }));
    EXPECT_TRUE(isCorrupt(""));
    EXPECT_TRUE(isCorrupt("{"));
    EXPECT_TRUE(isCorrupt(good.dump() + "{}"));
    EXPECT_TRUE(isCorrupt("{\"format\": \"orvanedoc\"}"));
    EXPECT_TRUE(isCorrupt("\"orvanedoc\""));
}

TEST(NotesFile, MalformedUtf8IsReplacedWhenWriting) {
    ProgramDocument doc;
    doc.title = "caf\xC3";             // a cut sequence
    doc.labels["\xFF"] = "bad \x80 key"; // keys too
    doc.comments.push_back(StepComment{1, "x\xE2\x89", "45 1", {"\xC0"}, {}, false});
    const ProgramDocument back = read(text(doc.encoded()));
    EXPECT_EQ(back.title, "caf\xEF\xBF\xBD");
    EXPECT_EQ(back.labels.at("\xEF\xBF\xBD"), "bad \xEF\xBF\xBD key");
    EXPECT_EQ(back.comments.at(0).text, "x\xEF\xBF\xBD");
    EXPECT_EQ(back.comments.at(0).before, (Strings{"\xEF\xBF\xBD"}));
}

TEST(NotesFile, NumbersDoNotFollowTheLocale) {
    // A process locale with digit grouping must not reach the file.
    struct Grouping : std::numpunct<char> {
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Grouping));
    ProgramDocument doc;
    doc.version = 1234567;
    doc.comments.push_back(StepComment{1000, "t", "k", {}, {}, false});
    const std::string file = text(doc.encoded());
    const std::string step = ProgramDocument::stepText(12345, 15);
    std::locale::global(previous);
    EXPECT_NE(file.find("\"version\": 1234567"), std::string::npos);
    EXPECT_NE(file.find("\"step\": 1000"), std::string::npos);
    EXPECT_EQ(step, "12345");
}

TEST(ProgramDocument, SidecarNameKeepsTheWholeFileName) {
    EXPECT_EQ(ProgramDocument::sidecarPath("/home/u/loan.15c"), "/home/u/loan.15c.orvanedoc");
    EXPECT_EQ(ProgramDocument::sidecarPath("dir/prog.16c"), "dir/prog.16c.orvanedoc");
    EXPECT_EQ(ProgramDocument::sidecarPath("prog"), "prog.orvanedoc");
}

TEST(ProgramDocument, Emptiness) {
    ProgramDocument doc;
    doc.model = "HP-15C";
    doc.labels["A"] = "";
    doc.flags["8"] = "";
    doc.registers["R1"] = {};
    EXPECT_TRUE(doc.isEmpty());
    doc.registers["R1"].meaning = "rate";
    EXPECT_FALSE(doc.isEmpty());
    doc.registers["R1"].meaning.clear();
    doc.comments.push_back(StepComment{4, "t", "k", {}, {}, true});
    EXPECT_FALSE(doc.isEmpty());
}

TEST(ProgramDocument, StepTexts) {
    EXPECT_EQ(ProgramDocument::stepText(7, 12), "07");
    EXPECT_EQ(ProgramDocument::stepText(7, 15), "007");
    EXPECT_EQ(ProgramDocument::stepText(1234, 15), "1234");
    EXPECT_EQ(ProgramDocument::stepText(123, 12), "123");
}

TEST(ProgramDocument, ContextKeys) {
    const auto lines = listing({"a", "b", "c", "d", "e"});
    using Context = ProgramDocument::Context;
    EXPECT_EQ(ProgramDocument::contextKeys(lines, 0), (Context{{}, {"b", "c"}}));
    EXPECT_EQ(ProgramDocument::contextKeys(lines, 1), (Context{{"a"}, {"c", "d"}}));
    EXPECT_EQ(ProgramDocument::contextKeys(lines, 2), (Context{{"a", "b"}, {"d", "e"}}));
    EXPECT_EQ(ProgramDocument::contextKeys(lines, 4), (Context{{"c", "d"}, {}}));
    EXPECT_EQ(ProgramDocument::contextKeys(listing({"a"}), 0), (Context{}));
}

TEST(ProgramDocument, SetCommentStoresTrimmedTextWithItsContext) {
    const auto lines = std::vector<ProgramLine>{step(1, "LBL A", "42,21,11"), step(2, "STO 1", "44 1"),
                                                step(3, "RTN", "43 32")};
    ProgramDocument doc;
    EXPECT_EQ(doc.setComment("  \n second step\t\n", 2, lines), Change::stored);
    EXPECT_EQ(doc.comments, (std::vector<StepComment>{{2, "second step", "44 1", {"42,21,11"}, {"43 32"}, false}}));
    EXPECT_EQ(doc.setComment("first", 1, lines), Change::stored);
    EXPECT_EQ(doc.comments.front().step, 1); // kept in step order
    EXPECT_EQ(doc.setComment("again", 2, lines), Change::stored);
    EXPECT_EQ(doc.comment(2), "again");
    EXPECT_EQ(doc.comments.size(), 2u);
}

TEST(ProgramDocument, EmptyTextRemovesOnlyTheLiveComment) {
    const auto lines = listing({"a", "b"});
    ProgramDocument doc;
    doc.comments.push_back(StepComment{2, "orphan", "x", {}, {}, true});
    ASSERT_EQ(doc.setComment("live", 2, lines), Change::stored);
    EXPECT_EQ(doc.comment(2), "live");
    EXPECT_EQ(doc.setComment(" \n\u2003 ", 2, lines), Change::removed);
    EXPECT_FALSE(doc.comment(2)); // the orphan at step 2 is not its live comment
    EXPECT_EQ(doc.comments, (std::vector<StepComment>{{2, "orphan", "x", {}, {}, true}}));
    EXPECT_EQ(doc.orphanedComments().size(), 1u);
}

TEST(ProgramDocument, CommentForAStepNotInTheListingIsNotSavedAndLosesNothing) {
    ProgramDocument doc;
    ASSERT_EQ(doc.setComment("kept", 3, listing({"a", "b", "c"})), Change::stored);
    const ProgramDocument before = doc;
    // The program shrank: step 3 is gone. The caller learns that nothing was
    // saved, and the old comment is still there for a later rematch.
    EXPECT_EQ(doc.setComment("new text", 3, listing({"a", "b"})), Change::notInListing);
    EXPECT_EQ(doc, before);
    EXPECT_EQ(doc.setComment("", 3, listing({"a", "b"})), Change::removed);
    EXPECT_TRUE(doc.comments.empty());
}

TEST(ProgramDocument, AddMissingEntriesKeepsExistingNotes) {
    const ProgramAnalysis analysis(listing({"LBL A", "STO 1", "SF 8", "GSB 2"}), 15);
    ProgramDocument doc;
    doc.labels["A"] = "entry";
    doc.registers["R9"] = {"old", "gone from the program"};
    doc.addMissingEntries(analysis.labels, analysis.registers, analysis.flags);
    EXPECT_EQ(doc.labels, (std::map<std::string, std::string>{{"2", ""}, {"A", "entry"}}));
    EXPECT_EQ(doc.registers.size(), 2u);
    EXPECT_EQ(doc.registers.at("R1"), RegisterNote{});
    EXPECT_EQ(doc.registers.at("R9").name, "old");
    EXPECT_EQ(doc.flags.at("8"), "");
}

} // namespace
} // namespace tw
