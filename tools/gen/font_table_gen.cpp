// Build-time generator: reads the Shinonome PCF bitmap fonts with FreeType and writes the C++
// source of the glyph tables declared in sequencer/shell/font_tables.h.
//
// usage: font_table_gen OUT.cpp LARGE_ASCII LARGE_KANA LARGE_KANJI SMALL_ASCII SMALL_KANA
//        SMALL_KANJI
// The "a" files are ISO 8859-1 and give the ASCII half (0x20..0x7E: backslash and tilde, as
// the rest of the program reads code page 932); the "r" files are JIS X 0201 and give the
// half-width katakana (0xA1..0xDF); the "k" files are JIS X 0208 by row and cell.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H
#include <string>
#include <vector>

namespace {

constexpr int JIS_SIDE = 94;
constexpr uint16_t NO_GLYPH = 0xFFFF;

struct SizeTables {
    const char* name; // LARGE or SMALL
    int height;
    int half_width;
    int full_width;
    std::vector<uint16_t> half_index;
    std::vector<uint8_t> half_bitmaps;
    std::vector<uint16_t> full_index;
    std::vector<uint8_t> full_bitmaps;
    int half_count;
    int full_count;
};

struct Generator {
    FT_Library library;
    const char* failure; // first error, reported by main
    std::string failure_detail;
};

Generator g_gen;

bool fail(const char* what, const std::string& detail) {
    if (g_gen.failure == nullptr) {
        g_gen.failure = what;
        g_gen.failure_detail = detail;
    }
    return false;
}

// Opens a face and checks that its registry, encoding and only size are the expected ones.
FT_Face open_face(const char* path, const char* registry_prefix, const char* encoding, int width,
                  int height) {
    FT_Face face = nullptr;
    if (FT_New_Face(g_gen.library, path, 0, &face) != 0) {
        fail("cannot open font", path);
        return nullptr;
    }
    const char* face_encoding = nullptr;
    const char* face_registry = nullptr;
    bool ok = FT_Get_BDF_Charset_ID(face, &face_encoding, &face_registry) == 0 &&
              face_registry != nullptr && face_encoding != nullptr &&
              strncmp(face_registry, registry_prefix, strlen(registry_prefix)) == 0 &&
              strcmp(face_encoding, encoding) == 0;
    if (!ok) {
        fail("unexpected character set",
             std::string(path) + " (wanted " + registry_prefix + "-" + encoding + ")");
    } else if (face->num_fixed_sizes != 1 || face->available_sizes[0].width != width ||
               face->available_sizes[0].height != height || face->num_charmaps < 1) {
        ok = fail("unexpected size", path);
    } else if (FT_Set_Charmap(face, face->charmaps[0]) != 0 ||
               FT_Set_Pixel_Sizes(face, width, height) != 0) {
        ok = fail("cannot select size and character map", path);
    }
    if (!ok) {
        FT_Done_Face(face);
        return nullptr;
    }
    return face;
}

// Renders one glyph into a cell of width x height pixels, placed on the face's baseline.
// Ink outside the cell means the font is not the one these tables are made for.
bool render_cell(FT_Face face, FT_UInt glyph, int width, int height, std::vector<uint8_t>& out) {
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
        return fail("cannot render glyph", std::to_string(glyph));
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || (slot->advance.x >> 6) != width) {
        return fail("glyph is not a monochrome bitmap of the cell width", std::to_string(glyph));
    }
    const int row_bytes = (width + 7) / 8;
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(row_bytes * height), 0);
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    const int top = ascent - slot->bitmap_top;
    for (int r = 0; r < static_cast<int>(bitmap.rows); ++r) {
        const uint8_t* source = bitmap.buffer + r * bitmap.pitch;
        for (int c = 0; c < static_cast<int>(bitmap.width); ++c) {
            if (((source[c / 8] >> (7 - c % 8)) & 1) == 0) {
                continue;
            }
            const int x = slot->bitmap_left + c;
            const int y = top + r;
            if (x < 0 || x >= width || y < 0 || y >= height) {
                return fail("glyph ink outside its cell", std::to_string(glyph));
            }
            out[start + static_cast<size_t>(y * row_bytes + x / 8)] |=
                static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return true;
}

// Adds the glyph of `code` in `face`, if the face has one, under index slot `slot`.
bool add_glyph(FT_Face face, FT_ULong code, int width, int height, std::vector<uint16_t>& index,
               size_t slot, std::vector<uint8_t>& bitmaps, int& count) {
    const FT_UInt glyph = FT_Get_Char_Index(face, code);
    if (glyph == 0) {
        return true;
    }
    if (!render_cell(face, glyph, width, height, bitmaps)) {
        return false;
    }
    index[slot] = static_cast<uint16_t>(count);
    ++count;
    return true;
}

bool build_size(SizeTables& t, const char* ascii_path, const char* kana_path,
                const char* kanji_path) {
    t.half_index.assign(256, NO_GLYPH);
    t.full_index.assign(JIS_SIDE * JIS_SIDE, NO_GLYPH);
    t.half_count = 0;
    t.full_count = 0;
    FT_Face ascii = open_face(ascii_path, "ISO8859", "1", t.half_width, t.height);
    FT_Face kana = open_face(kana_path, "JISX0201", "0", t.half_width, t.height);
    FT_Face kanji = open_face(kanji_path, "JISX0208", "0", t.full_width, t.height);
    bool ok = ascii != nullptr && kana != nullptr && kanji != nullptr;
    for (int code = 0x20; ok && code <= 0x7E; ++code) {
        ok = add_glyph(ascii, code, t.half_width, t.height, t.half_index, code, t.half_bitmaps,
                       t.half_count);
    }
    for (int code = 0xA1; ok && code <= 0xDF; ++code) {
        ok = add_glyph(kana, code, t.half_width, t.height, t.half_index, code, t.half_bitmaps,
                       t.half_count);
    }
    for (int row = 0; ok && row < JIS_SIDE; ++row) {
        for (int cell = 0; ok && cell < JIS_SIDE; ++cell) {
            const FT_ULong code = static_cast<FT_ULong>(((row + 0x21) << 8) | (cell + 0x21));
            ok =
                add_glyph(kanji, code, t.full_width, t.height, t.full_index,
                          static_cast<size_t>(row * JIS_SIDE + cell), t.full_bitmaps, t.full_count);
        }
    }
    for (FT_Face face : {ascii, kana, kanji}) {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
    }
    return ok;
}

void write_index(FILE* out, const char* name, const std::vector<uint16_t>& index) {
    fprintf(out, "const uint16_t %s[%zu] = {", name, index.size());
    for (size_t i = 0; i < index.size(); ++i) {
        fprintf(out, "%s0x%X,", i % 16 == 0 ? "\n" : "", index[i]);
    }
    fprintf(out, "\n};\n");
}

// One string literal of \x escapes: far quicker to compile than a brace list of numbers.
void write_bitmaps(FILE* out, const char* name, const std::vector<uint8_t>& bytes) {
    fprintf(out, "const unsigned char %s[%zu] =", name, bytes.size() + 1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        fprintf(out, "%s\\x%02X", i % 32 == 0 ? "\n\"" : "", bytes[i]);
        if (i % 32 == 31 || i + 1 == bytes.size()) {
            fputc('"', out);
        }
    }
    fprintf(out, "%s;\n", bytes.empty() ? " \"\"" : "");
}

void write_size(FILE* out, const SizeTables& t) {
    const std::string n = t.name;
    fprintf(out, "// %s: %d half-width and %d full-width glyphs.\n", t.name, t.half_count,
            t.full_count);
    write_index(out, (n + "_HALF_INDEX").c_str(), t.half_index);
    write_index(out, (n + "_FULL_INDEX").c_str(), t.full_index);
    write_bitmaps(out, (n + "_HALF_BITMAPS").c_str(), t.half_bitmaps);
    write_bitmaps(out, (n + "_FULL_BITMAPS").c_str(), t.full_bitmaps);
}

void write_record(FILE* out, const SizeTables& t) {
    const char* n = t.name;
    fprintf(out,
            "const FontGlyphs FONT_GLYPHS_%s = {%d, %d, %d, %s_HALF_INDEX, %s_HALF_BITMAPS, "
            "%s_FULL_INDEX, %s_FULL_BITMAPS};\n",
            n, t.height, t.half_width, t.full_width, n, n, n, n);
}

bool write_source(const char* path, const SizeTables& large, const SizeTables& small) {
    const std::string temporary = std::string(path) + ".part";
    FILE* out = fopen(temporary.c_str(), "w");
    if (out == nullptr) {
        return fail("cannot write", temporary);
    }
    fprintf(out, "// Generated by font_table_gen from the Shinonome bitmap fonts; not edited.\n"
                 "#include \"sequencer/shell/font_tables.h\"\n\nnamespace {\n\n");
    write_size(out, large);
    write_size(out, small);
    fprintf(out, "\n} // namespace\n\n");
    write_record(out, large);
    write_record(out, small);
    const bool written = ferror(out) == 0;
    if (fclose(out) != 0 || !written) {
        remove(temporary.c_str());
        return fail("cannot write", temporary);
    }
    if (rename(temporary.c_str(), path) != 0) {
        remove(temporary.c_str());
        return fail("cannot rename into place", path);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        fprintf(stderr,
                "usage: %s OUT.cpp LARGE_ASCII LARGE_KANA LARGE_KANJI SMALL_ASCII "
                "SMALL_KANA SMALL_KANJI\n",
                argv[0]);
        return 2;
    }
    if (FT_Init_FreeType(&g_gen.library) != 0) {
        fprintf(stderr, "font_table_gen: cannot start FreeType\n");
        return 1;
    }
    SizeTables large{"LARGE", 16, 8, 16, {}, {}, {}, {}, 0, 0};
    SizeTables small{"SMALL", 12, 6, 12, {}, {}, {}, {}, 0, 0};
    const bool ok = build_size(large, argv[2], argv[3], argv[4]) &&
                    build_size(small, argv[5], argv[6], argv[7]) &&
                    write_source(argv[1], large, small);
    FT_Done_FreeType(g_gen.library);
    if (!ok) {
        fprintf(stderr, "font_table_gen: %s: %s\n", g_gen.failure, g_gen.failure_detail.c_str());
        return 1;
    }
    return 0;
}
