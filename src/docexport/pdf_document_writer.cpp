#include "docexport/pdf_document_writer.h"

#include "docexport/pdf_numbers.h"
#include "docexport/unicode_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

namespace tw {

namespace {

using pdfnum::integer;

std::string streamObject(std::string_view bytes, std::string_view extra = {}) {
    std::string body = "<< ";
    body += extra;
    body += " /Length " + integer(int64_t(bytes.size())) + " >>\nstream\n";
    body += bytes;
    body += "\nendstream";
    return body;
}

std::string ref(size_t object) { return integer(int64_t(object)) + " 0 R"; }

// Adds objects in order; an object's number is its position counted from 1.
struct ObjectList {
    std::vector<std::string> bodies;
    size_t add(std::string body) {
        bodies.push_back(std::move(body));
        return bodies.size();
    }
};

// A text string of the document information dictionary. Readers decode such a string as
// PDFDocEncoding unless it starts with a UTF-16BE byte-order mark, so anything beyond ASCII is
// written as UTF-16BE; ASCII needs no conversion and stays a literal string.
std::string infoString(std::string_view utf8) {
    bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char ch) { return uint8_t(ch) < 0x80; });
    if (ascii) {
        std::string bytes;
        for (const PDFGlyph& g : PDFFontSet::glyphs(utf8, PDFFace::regular, nullptr)) bytes.push_back(char(g.code & 0xFF));
        return PDFFontSet::literalString(bytes);
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    for (char16_t unit : unicode::encodeUtf16(unicode::decodeUtf8(utf8))) {
        for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(unit >> shift) & 0xF]);
    }
    out.push_back('>');
    return out;
}

constexpr const char* kStandardFonts[] = {"Helvetica", "Helvetica-Bold", "Courier", "Courier-Bold", "Symbol"};

std::string toUnicodeMap(const std::map<uint16_t, std::string>& used) {
    std::string text =
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CIDSystemInfo << /Registry (Adobe) "
        "/Ordering (UCS) /Supplement 0 >> def /CMapName /Adobe-Identity-UCS def /CMapType 2 def 1 "
        "begincodespacerange <0000> <FFFF> endcodespacerange\n";
    auto it = used.begin();
    while (it != used.end()) {
        size_t count = std::min<size_t>(100, size_t(std::distance(it, used.end())));
        text += integer(int64_t(count)) + " beginbfchar\n";
        for (size_t k = 0; k < count; ++k, ++it) {
            text += "<";
            pdfnum::appendHex(text, it->first, 4);
            text += "> <";
            std::u16string units = unicode::encodeUtf16(unicode::decodeUtf8(it->second));
            if (units.empty()) text += "0020";
            for (char16_t u : units) pdfnum::appendHex(text, u, 4);
            text += ">\n";
        }
        text += "endbfchar\n";
    }
    text += "endcmap CMapName currentdict /CMap defineresource pop end end";
    return text;
}

// The five objects of one embedded face; returns the Type0 font's object number.
size_t addEmbeddedFace(ObjectList& objects, PDFFace face, const TrueTypeFont& font,
                       const std::map<uint16_t, std::string>& used) {
    std::string base = face == PDFFace::keys ? "TWKEYS+" : "TWDISP+";
    base += font.postScriptName.empty() ? "Font" + integer(rawValue(face)) : font.postScriptName;

    std::set<uint16_t> ids;
    for (const auto& [id, text] : used) ids.insert(id);
    auto subset = font.subset(ids);
    std::string subsetBytes(subset.begin(), subset.end());
    size_t fontFile = objects.add(streamObject(subsetBytes, "/Length1 " + integer(int64_t(subset.size()))));

    auto truncated = [&](int v) { return integer(int64_t(std::trunc(font.scaled(v)))); };
    size_t descriptor = objects.add(
        "<< /Type /FontDescriptor /FontName /" + base + " /Flags 4 /FontBBox [" + truncated(font.bbox[0]) + " " +
        truncated(font.bbox[1]) + " " + truncated(font.bbox[2]) + " " + truncated(font.bbox[3]) +
        "] /ItalicAngle 0 /Ascent " + truncated(font.ascent) + " /Descent " + truncated(font.descent) +
        " /CapHeight " + truncated(font.ascent) + " /StemV 80 /FontFile2 " + ref(fontFile) + " >>");

    std::string widths;
    for (uint16_t id : ids) {
        if (!widths.empty()) widths += ' ';
        double w = id < font.advances.size() ? font.scaled(font.advances[id]) : 0;
        widths += integer(id) + " [" + integer(int64_t(std::round(w))) + "]";
    }
    size_t cidFont = objects.add("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + base +
                                 " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> "
                                 "/FontDescriptor " +
                                 ref(descriptor) + " /W [" + widths + "] /CIDToGIDMap /Identity >>");
    size_t toUnicode = objects.add(streamObject(toUnicodeMap(used)));
    return objects.add("<< /Type /Font /Subtype /Type0 /BaseFont /" + base +
                       " /Encoding /Identity-H /DescendantFonts [" + ref(cidFont) + "] /ToUnicode " +
                       ref(toUnicode) + " >>");
}

} // namespace

PDFDocumentWriter::PDFDocumentWriter(PDFPaper paper, std::shared_ptr<PDFFontSet> fonts)
    : paper_(paper), fonts_(fonts ? std::move(fonts) : std::make_shared<PDFFontSet>()) {}

PDFPage& PDFDocumentWriter::newPage() {
    PDFSize size = paperSize(paper_);
    pages_.push_back(std::make_shared<PDFPage>(size.width, size.height, fonts_));
    return *pages_.back();
}

std::vector<uint8_t> PDFDocumentWriter::data() const {
    ObjectList objects;
    objects.add("<< /Type /Catalog /Pages 2 0 R >>");
    objects.add({});
    std::vector<std::string> resources;
    for (int n = 1; n <= 5; ++n) {
        std::string body = "<< /Type /Font /Subtype /Type1 /Name /F" + integer(n) + " /BaseFont /" +
                           kStandardFonts[n - 1] + (n == 5 ? "" : " /Encoding /WinAnsiEncoding") + " >>";
        resources.push_back("/F" + integer(n) + " " + ref(objects.add(std::move(body))));
    }
    for (PDFFace face : {PDFFace::keys, PDFFace::display}) {
        auto font = fonts_->embedded.find(face);
        auto used = fonts_->used.find(face);
        if (font == fonts_->embedded.end() || used == fonts_->used.end() || used->second.empty()) continue;
        size_t type0 = addEmbeddedFace(objects, face, font->second, used->second);
        resources.push_back("/F" + integer(rawValue(face)) + " " + ref(type0));
    }
    std::string resourceDict = "<< /Font << ";
    for (size_t i = 0; i < resources.size(); ++i) resourceDict += (i ? " " : "") + resources[i];
    resourceDict += " >> >>";

    size_t first = objects.bodies.size() + 1;
    std::string kids;
    for (size_t i = 0; i < pages_.size(); ++i) kids += (i ? " " : "") + ref(first + 2 * i);
    objects.bodies[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + integer(int64_t(pages_.size())) + " >>";
    for (const auto& page : pages_) {
        size_t number = objects.bodies.size() + 1;
        objects.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + pdfnum::fixed2(page->width) + " " +
                    pdfnum::fixed2(page->height) + "] /Resources " + resourceDict + " /Contents " +
                    ref(number + 1) + " >>");
        std::string content;
        for (size_t i = 0; i < page->ops.size(); ++i) {
            if (i) content += '\n';
            content += page->ops[i];
        }
        objects.add(streamObject(content));
    }
    size_t info = objects.add("<< /Title " + infoString(title) + " >>");

    std::string file = "%PDF-1.4\n%\xC3\xA2\xC3\xA3\xC3\x8F\xC3\x93\n";
    std::vector<size_t> offsets;
    for (size_t k = 0; k < objects.bodies.size(); ++k) {
        offsets.push_back(file.size());
        file += integer(int64_t(k + 1)) + " 0 obj\n" + objects.bodies[k] + "\nendobj\n";
    }
    size_t xref = file.size();
    file += "xref\n0 " + integer(int64_t(objects.bodies.size() + 1)) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset); // integers only: locale-free
        file += entry;
    }
    file += "trailer\n<< /Size " + integer(int64_t(objects.bodies.size() + 1)) + " /Root 1 0 R /Info " + ref(info) +
            " >>\nstartxref\n" + integer(int64_t(xref)) + "\n%%EOF\n";
    return std::vector<uint8_t>(file.begin(), file.end());
}

} // namespace tw
