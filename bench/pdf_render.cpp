// Rendering the documentation of a 400-step HP-15C program to PDF with the key and display
// fonts embedded (DejaVu stands in for the user's fonts), and subsetting one of them.
#include "docexport/font_builder.h"
#include "docexport/program_document_pdf.h"
#include "docexport/sample_program.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace tw {

namespace {

std::optional<tw::TrueTypeFont> loadFont(const char* path) {
    if (!std::filesystem::exists(path)) return std::nullopt;
    return tw::TrueTypeFont(tw::test::readFile(path));
}

void BM_RenderDocumentation400Steps(benchmark::State& state) {
    auto keys = loadFont(tw::test::kDejaVuSans);
    auto display = loadFont(tw::test::kDejaVuMono);
    if (!keys || !display) {
        state.SkipWithError("fonts-dejavu-core is not installed");
        return;
    }
    const auto content = tw::test::hp15cContent(400);
    size_t bytes = 0;
    for (auto _ : state) {
        auto fonts = std::make_shared<tw::PDFFontSet>(*keys, *display); // one font set per rendering
        auto pdf = tw::ProgramDocumentPDF::render(content, tw::PDFPaper::a4, fonts);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["pdf_bytes"] = double(bytes);
}
BENCHMARK(BM_RenderDocumentation400Steps)->Unit(benchmark::kMillisecond);

void BM_ReadAndSubsetFont(benchmark::State& state) {
    if (!std::filesystem::exists(tw::test::kDejaVuSans)) {
        state.SkipWithError("fonts-dejavu-core is not installed");
        return;
    }
    auto file = tw::test::readFile(tw::test::kDejaVuSans);
    for (auto _ : state) {
        tw::TrueTypeFont font(file);
        std::set<uint16_t> glyphs;
        for (char32_t c = U'A'; c <= U'z'; ++c) glyphs.insert(font.glyphID(c));
        auto subset = font.subset(glyphs);
        benchmark::DoNotOptimize(subset.data());
    }
}
BENCHMARK(BM_ReadAndSubsetFont)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace tw
