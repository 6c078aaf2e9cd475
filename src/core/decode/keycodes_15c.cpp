// HP-15C key codes: the table of one-byte steps and the second-byte tables T0 to T6
// of the two-byte steps (first byte 0x0F, 0x1F, ... 0xFF).
#include "core/decode/keycode_builder.h"

namespace tw::decode {

namespace {

using build::OperandSet;
using build::Run;

// codes, keys, mnemonic, prefix, operands, their key forms where they differ
// Exchanges, loop counters and indirect addressing: the same rows in the one-byte
// table and in T1.
constexpr Run kIndirectRuns[] = {
    {0x80, 0x80, "42, 4, 0", "x≷ 0", 'f'},
    {0x81, 0x81, "42, 4,24", "x≷ (i)", 'f'},
    {0x82, 0x82, "42, 5, 0", "DSE 0", 'f'},
    {0x83, 0x83, "42, 5,24", "DSE (i)", 'f'},
    {0x84, 0x84, "42, 6, 0", "ISG 0", 'f'},
    {0x85, 0x85, "42, 6,24", "ISG (i)", 'f'},
    {0x86, 0x86, "45 24", "RCL (i)", 0},
    {0x87, 0x87, "45 25", "RCL I", 0},
    {0x88, 0x88, "22 25", "GTO I", 0},
    {0x89, 0x89, "32 25", "GSB I", 0},
    {0x90, 0x90, "42, 4, 1", "x≷ 1", 'f'},
    {0x91, 0x91, "42, 4,25", "x≷ I", 'f'},
    {0x92, 0x92, "42, 5, 1", "DSE 1", 'f'},
    {0x93, 0x93, "42, 5,25", "DSE I", 'f'},
    {0x94, 0x94, "42, 6, 1", "ISG 1", 'f'},
    {0x95, 0x95, "42, 6,25", "ISG I", 'f'},
    {0x96, 0x96, "44 24", "STO (i)", 0},
    {0x97, 0x97, "44 25", "STO I", 0},
};

constexpr Run kOneByteRuns[] = {
    {0x00, 0x09, "42,21, ", "LBL ", 'f', "0 1 2 3 4 5 6 7 8 9"},
    {0x0A, 0x0E, "42,21,", "LBL ", 'f', "A B C D E", "11 12 13 14 15"},
    {0x0F, 0x0F, "5", "5", 0},
    {0x10, 0x1E, "22 ", "GTO ", 0, "0 1 2 3 4 5 6 7 8 9 A B C D E", "0 1 2 3 4 5 6 7 8 9 11 12 13 14 15"},
    {0x1F, 0x1F, "42,10,23", "SOLVE SIN", 'f'},
    {0x20, 0x2E, "32 ", "GSB ", 0, "0 1 2 3 4 5 6 7 8 9 A B C D E", "0 1 2 3 4 5 6 7 8 9 11 12 13 14 15"},
    {0x2F, 0x2F, "42,10,23", "SOLVE SIN", 'f'},
    {0x30, 0x3E, "45 ", "RCL ", 0, "0 1 2 3 4 5 6 7 8 9 A B C D E", "0 1 2 3 4 5 6 7 8 9 11 12 13 14 15"},
    {0x3F, 0x3F, "42,10,23", "SOLVE SIN", 'f'},
    {0x40, 0x4E, "44 ", "STO ", 0, "0 1 2 3 4 5 6 7 8 9 A B C D E", "0 1 2 3 4 5 6 7 8 9 11 12 13 14 15"},
    {0x4F, 0x4F, "42,10,23", "SOLVE SIN", 'f'},
    {0x50, 0x59, "45 ", "RCL ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x5A, 0x5E, "45,43,", "RCL g ", 0, "A B C D E", "11 12 13 14 15"},
    {0x5F, 0x5F, "42,10,23", "SOLVE SIN", 'f'},
    {0x60, 0x69, "44 ", "STO ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x6A, 0x6E, "44,43,", "STO g ", 0, "A B C D E", "11 12 13 14 15"},
    {0x6F, 0x6F, "42,10,23", "SOLVE SIN", 'f'},
    {0x70, 0x79, "43,30, ", "TEST ", 'g', "0 1 2 3 4 5 6 7 8 9"},
    {0x7A, 0x7E, "45,16,", "RCL MATRIX ", 0, "A B C D E", "11 12 13 14 15"},
    {0x7F, 0x7F, "42,10,23", "SOLVE SIN", 'f'},
    {0x8A, 0x8E, "42,26,", "RESULT ", 'f', "A B C D E", "11 12 13 14 15"},
    {0x8F, 0x8F, "42,10,23", "SOLVE SIN", 'f'},
    {0x98, 0x9E, "42,23,", "DIM ", 'f', "(i) I A B C D E", "24 25 11 12 13 14 15"},
    {0x9F, 0x9F, "42,10,23", "SOLVE SIN", 'f'},
    {0xA0, 0xA0, "42 48", "ŷ,r", 'f'},
    {0xA1, 0xA1, "42 36", "RAN#", 'f'},
    {0xA2, 0xA2, "43 35", "CLx", 'g'},
    {0xA3, 0xA3, "42 44", "FRAC", 'f'},
    {0xA4, 0xA4, "42 25", "I", 'f'},
    {0xA5, 0xA5, "42 34", "REG", 'f'},
    {0xA6, 0xA6, "44 26", "STO RESULT", 0},
    {0xA7, 0xA7, "45 49", "RCL Σ+", 0},
    {0xA8, 0xAE, "45,23,", "RCL DIM ", 0, "(i) I A B C D E", "24 25 11 12 13 14 15"},
    {0xAF, 0xAF, "42,10,23", "SOLVE SIN", 'f'},
    {0xB0, 0xB0, "43 48", "s", 'g'},
    {0xB1, 0xB1, "43 36", "LSTx", 'g'},
    {0xB2, 0xB2, "43 32", "RTN", 'g'},
    {0xB3, 0xB3, "43 16", "ABS", 'g'},
    {0xB4, 0xB4, "43 33", "R↑", 'g'},
    {0xB5, 0xB5, "43 34", "RND", 'g'},
    {0xB6, 0xB6, "43 26", "π", 'g'},
    {0xB7, 0xB7, "43 23", "SIN⁻¹", 'g'},
    {0xB8, 0xB8, "43 24", "COS⁻¹", 'g'},
    {0xB9, 0xB9, "43 25", "TAN⁻¹", 'g'},
    {0xBA, 0xBA, "43 11", "x²", 'g'},
    {0xBB, 0xBB, "43 12", "LN", 'g'},
    {0xBC, 0xBC, "43 13", "LOG", 'g'},
    {0xBD, 0xBD, "43 14", "%", 'g'},
    {0xBE, 0xBE, "43 15", "Δ%", 'g'},
    {0xBF, 0xBF, "42,10,23", "SOLVE SIN", 'f'},
    {0xC0, 0xC0, "48", "·", 0},
    {0xC1, 0xC1, "36", "ENTER", 0},
    {0xC2, 0xC2, "31", "R/S", 0},
    {0xC3, 0xC3, "16", "CHS", 0},
    {0xC4, 0xC4, "33", "R↓", 0},
    {0xC5, 0xC5, "34", "x≷y", 0},
    {0xC6, 0xC6, "26", "EEX", 0},
    {0xC7, 0xC7, "23", "SIN", 0},
    {0xC8, 0xC8, "24", "COS", 0},
    {0xC9, 0xC9, "25", "TAN", 0},
    {0xCA, 0xCA, "11", "√x", 0},
    {0xCB, 0xCB, "12", "eˣ", 0},
    {0xCC, 0xCC, "13", "10ˣ", 0},
    {0xCD, 0xCD, "14", "yˣ", 0},
    {0xCE, 0xCE, "15", "1/x", 0},
    {0xCF, 0xCF, "45,10, .5", "RCL ÷ .5", 0},
    {0xD0, 0xD0, "42 0", "x!", 'f'},
    {0xD1, 0xD1, "42 1", "→R", 'f'},
    {0xD2, 0xD2, "42 2", "→H.MS", 'f'},
    {0xD3, 0xD3, "42 3", "→RAD", 'f'},
    {0xD4, 0xD6, "42,22,", "HYP ", 'f', "SIN (i) I", "23 24 25"},
    {0xD7, 0xD7, "45 26", "RCL RESULT", 0},
    {0xD8, 0xD8, "45 36", "RCL RAN#", 0},
    {0xD9, 0xD9, "44 36", "STO RAN#", 0},
    {0xDA, 0xDA, "42 40", "Py,x", 'f'},
    {0xDB, 0xDB, "42 30", "Re≷Im", 'f'},
    {0xDC, 0xDC, "42 31", "PSE", 'f'},
    {0xDD, 0xDD, "42 32", "Σ", 'f'},
    {0xDE, 0xDE, "42 49", "L.R.", 'f'},
    {0xDF, 0xDF, "44,10, .5", "STO ÷ .5", 0},
    {0xE0, 0xE0, "43 0", "x̄", 'g'},
    {0xE1, 0xE1, "43 1", "→P", 'g'},
    {0xE2, 0xE2, "43 2", "→H", 'g'},
    {0xE3, 0xE3, "43 3", "→DEG", 'g'},
    {0xE4, 0xE6, "43,22,", "HYP⁻¹ ", 'g', "SIN (i) I", "23 24 25"},
    {0xE7, 0xE7, "43 7", "DEG", 'g'},
    {0xE8, 0xE8, "43 8", "RAD", 'g'},
    {0xE9, 0xE9, "43 9", "GRD", 'g'},
    {0xEA, 0xEA, "43 40", "Cy,x", 'g'},
    {0xEB, 0xEB, "43 44", "INT", 'g'},
    {0xEC, 0xEC, "43 20", "x=0?", 'g'},
    {0xED, 0xED, "43 10", "x≤y?", 'g'},
    {0xEE, 0xEE, "43 49", "Σ−", 'g'},
    {0xEF, 0xEF, "44,20, 5", "STO × 5", 0},
    {0xF0, 0xF0, "0", "0", 0},
    {0xF1, 0xF1, "1", "1", 0},
    {0xF2, 0xF2, "2", "2", 0},
    {0xF3, 0xF3, "3", "3", 0},
    {0xF4, 0xF4, "4", "4", 0},
    {0xF5, 0xF5, "5", "5", 0},
    {0xF6, 0xF6, "6", "6", 0},
    {0xF7, 0xF7, "7", "7", 0},
    {0xF8, 0xF8, "8", "8", 0},
    {0xF9, 0xF9, "9", "9", 0},
    {0xFA, 0xFA, "40", "+", 0},
    {0xFB, 0xFB, "30", "−", 0},
    {0xFC, 0xFC, "20", "×", 0},
    {0xFD, 0xFD, "10", "÷", 0},
    {0xFE, 0xFE, "49", "Σ+", 0},
    {0xFF, 0xFF, "42, 6, 5", "ISG 5", 'f'},
};

// T0: the one-byte table but for the sixteen rows whose low nibble is 15.
constexpr Run kT0Runs[] = {
    {0x0F, 0x0F, "42,21,16", "LBL MATRIX", 'f'},
    {0x1F, 0x1F, "22 16", "GTO MATRIX", 0},
    {0x2F, 0x2F, "32 16", "GSB MATRIX", 0},
    {0x3F, 0x3F, "45 16", "RCL MATRIX", 0},
    {0x4F, 0x4F, "44 16", "STO MATRIX", 0},
    {0x5F, 0x5F, "45,43,16", "RCL g MATRIX", 0},
    {0x6F, 0x6F, "44,43,16", "STO g MATRIX", 0},
    {0x7F, 0x7F, "45,16,16", "RCL MATRIX MATRIX", 0},
    {0x8F, 0x8F, "42,26,16", "RESULT MATRIX", 'f'},
    {0x9F, 0x9F, "42,23,16", "DIM MATRIX", 'f'},
    {0xAF, 0xAF, "45,23,16", "RCL DIM MATRIX", 0},
    {0xBF, 0xBF, "42,22,2-", "HYP 2-", 'f'},
    {0xCF, 0xCF, "42,22,2-", "HYP 2-", 'f'},
    {0xDF, 0xDF, "43,22,2", "HYP⁻¹ 2", 'g'},
    {0xEF, 0xEF, "43 4o", "4o", 'g'},
    {0xFF, 0xFF, "43,22,20", "HYP⁻¹ ×", 'g'},
};

// T1; rows 0x80 to 0x89 and 0x90 to 0x97 are the indirect runs above.
constexpr Run kT1Runs[] = {
    {0x00, 0x09, "45,20, ", "RCL × ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x0A, 0x0F, "22 ", "GTO ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x10, 0x19, "45,49, ", "RCL L.R. ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x1A, 0x1F, "32 ", "GSB ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x20, 0x29, "42,21, ", "LBL ", 'f', ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x2A, 0x2F, "45 ", "RCL ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x30, 0x39, "22 ", "GTO ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x3A, 0x3F, "44 ", "STO ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x40, 0x49, "32 ", "GSB ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x4A, 0x4F, "43,30,", "TEST ", 'g', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x50, 0x59, "45 ", "RCL ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x5A, 0x5F, "45,43,", "RCL g ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x60, 0x69, "44 ", "STO ", 0, ".0 .1 .2 .3 .4 .5 .6 .7 .8 .9"},
    {0x6A, 0x6F, "44,43,", "STO g ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x70, 0x79, "43,30, ", "TEST ", 'g', "0 1 2 3 4 5 6 7 8 9"},
    {0x7A, 0x7F, "45,16,", "RCL MATRIX ", 0, "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x8A, 0x8F, "42,26,", "RESULT ", 'f', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0x98, 0x9F, "42,23,", "DIM ", 'f', "(i) I SST GTO SIN (i) I RESULT", "24 25 21 22 23 24 25 26"},
    {0xA0, 0xA0, "45 3", "RCL 3", 0},
    {0xA1, 0xA1, "42, 5, .1", "DSE .1", 'f'},
    {0xA2, 0xA2, "44 6", "STO 6", 0},
    {0xA3, 0xA3, "44,16, 8", "STO MATRIX 8", 0},
    {0xA4, 0xA4, "44,30, 5", "STO − 5", 0},
    {0xA5, 0xA5, "45,23,24", "RCL DIM (i)", 0},
    {0xA6, 0xA6, "42, 5, .1", "DSE .1", 'f'},
    {0xA7, 0xA7, "42,21, 2", "LBL 2", 'f'},
    {0xA8, 0xAF, "45,23,", "RCL DIM ", 0, "(i) I SST GTO SIN (i) I RESULT", "24 25 21 22 23 24 25 26"},
    {0xB0, 0xB0, "22 25", "GTO I", 0},
    {0xB1, 0xB1, "42,10,15", "SOLVE E", 'f'},
    {0xB2, 0xB2, "44,30, 0", "STO − 0", 0},
    {0xB3, 0xB3, "42, 4,23", "x≷ SIN", 'f'},
    {0xB4, 0xB4, "44 6", "STO 6", 0},
    {0xB5, 0xB5, "44,30, .6", "STO − .6", 0},
    {0xB6, 0xB6, "44 .3", "STO .3", 0},
    {0xB7, 0xB7, "42, 4, .5", "x≷ .5", 'f'},
    {0xB8, 0xB8, "43, 5,23", "CF SIN", 'g'},
    {0xB9, 0xB9, "44,40,23", "STO + SIN", 0},
    {0xBA, 0xBF, "43, 4,", "SF ", 'g', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0xC0, 0xC0, "32 0", "GSB 0", 0},
    {0xC1, 0xC1, "44,40, 4", "STO + 4", 0},
    {0xC2, 0xC2, "42,21, 6", "LBL 6", 'f'},
    {0xC3, 0xC3, "44,40,23", "STO + SIN", 0},
    {0xC4, 0xC4, "44,30, .1", "STO − .1", 0},
    {0xC5, 0xC5, "42,21, 3", "LBL 3", 'f'},
    {0xC6, 0xC6, "43, 5, 5", "CF 5", 'g'},
    {0xC7, 0xC7, "45 .4", "RCL .4", 0},
    {0xC8, 0xC8, "42, 4,24", "x≷ (i)", 'f'},
    {0xC9, 0xC9, "44 23", "STO SIN", 0},
    {0xCA, 0xCF, "43, 5,", "CF ", 'g', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0xD0, 0xD0, "42,21,25", "LBL I", 'f'},
    {0xD1, 0xD1, "42, 4, 8", "x≷ 8", 'f'},
    {0xD2, 0xD2, "45,23,25", "RCL DIM I", 0},
    {0xD3, 0xD3, "42,26,23", "RESULT SIN", 'f'},
    {0xD4, 0xD4, "44,40,24", "STO + (i)", 0},
    {0xD5, 0xD5, "42,21, 3", "LBL 3", 'f'},
    {0xD6, 0xD6, "44,40,23", "STO + SIN", 0},
    {0xD7, 0xD7, "43, 6, 5", "F? 5", 'g'},
    {0xD8, 0xD8, "22 26", "GTO RESULT", 0},
    {0xD9, 0xD9, "42,10,15", "SOLVE E", 'f'},
    {0xDA, 0xDF, "43, 6,", "F? ", 'g', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0xE0, 0xE0, "42, 5, 0", "DSE 0", 'f'},
    {0xE1, 0xE1, "42,20,23", "∫ʸₓ SIN", 'f'},
    {0xE2, 0xE2, "42, 5, .6", "DSE .6", 'f'},
    {0xE3, 0xE3, "42, 6, .9", "ISG .9", 'f'},
    {0xE4, 0xE4, "32 3", "GSB 3", 0},
    {0xE5, 0xE5, "43, 4, 0", "SF 0", 'g'},
    {0xE6, 0xE6, "42, 8,21", "SCI SST", 'f'},
    {0xE7, 0xE7, "42, 6, 2", "ISG 2", 'f'},
    {0xE8, 0xE8, "22 26", "GTO RESULT", 0},
    {0xE9, 0xE9, "42,20, 6", "∫ʸₓ 6", 'f'},
    {0xEA, 0xEF, "42, 7,", "FIX ", 'f', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
    {0xF0, 0xF0, "42,20,12", "∫ʸₓ B", 'f'},
    {0xF1, 0xF1, "43, 4, 0", "SF 0", 'g'},
    {0xF2, 0xF2, "22 25", "GTO I", 0},
    {0xF3, 0xF3, "42,20, 6", "∫ʸₓ 6", 'f'},
    {0xF4, 0xF4, "22 6", "GTO 6", 0},
    {0xF5, 0xF5, "42,10,23", "SOLVE SIN", 'f'},
    {0xF6, 0xF6, "22 .0", "GTO .0", 0},
    {0xF7, 0xF7, "42,26,25", "RESULT I", 'f'},
    {0xF8, 0xF8, "43, 5,21", "CF SST", 'g'},
    {0xF9, 0xF9, "42, 5,11", "DSE A", 'f'},
    {0xFA, 0xFF, "42, 8,", "SCI ", 'f', "SST GTO SIN (i) I RESULT", "21 22 23 24 25 26"},
};

constexpr Run kT3Runs[] = {
    {0x00, 0x0F, "44,40,", "STO +", 0, OperandSet::A},
    {0x10, 0x1F, "44,40,", "STO +", 0, OperandSet::B},
    {0x20, 0x2F, "44,30,", "STO −", 0, OperandSet::A},
    {0x30, 0x3F, "44,30,", "STO −", 0, OperandSet::B},
    {0x40, 0x4F, "44,20,", "STO ×", 0, OperandSet::A},
    {0x50, 0x5F, "44,20,", "STO ×", 0, OperandSet::B},
    {0x60, 0x6F, "44,10,", "STO ÷", 0, OperandSet::A},
    {0x70, 0x7F, "44,10,", "STO ÷", 0, OperandSet::B},
    {0x80, 0x8F, "45,40,", "RCL +", 0, OperandSet::A},
    {0x90, 0x9F, "45,40,", "RCL +", 0, OperandSet::B},
    {0xA0, 0xAF, "45,30,", "RCL −", 0, OperandSet::A},
    {0xB0, 0xBF, "45,30,", "RCL −", 0, OperandSet::B},
    {0xC0, 0xCF, "45,20,", "RCL ×", 0, OperandSet::A},
    {0xD0, 0xDF, "45,20,", "RCL ×", 0, OperandSet::B},
    {0xE0, 0xEF, "45,10,", "RCL ÷", 0, OperandSet::A},
    {0xF0, 0xFF, "45,10,", "RCL ÷", 0, OperandSet::B},
};

constexpr Run kT4Runs[] = {
    {0x00, 0x0F, "42,20,", "∫ʸₓ", 'f', OperandSet::A},
    {0x10, 0x1F, "42,20,", "∫ʸₓ", 'f', OperandSet::B},
    {0x20, 0x2F, "42, 4,", "x≷", 'f', OperandSet::A},
    {0x30, 0x3F, "42, 4,", "x≷", 'f', OperandSet::B},
    {0x40, 0x4F, "42, 5,", "DSE", 'f', OperandSet::A},
    {0x50, 0x5F, "42, 5,", "DSE", 'f', OperandSet::B},
    {0x60, 0x6F, "42, 6,", "ISG", 'f', OperandSet::A},
    {0x70, 0x7F, "42, 6,", "ISG", 'f', OperandSet::B},
    {0x80, 0x8F, "44,40,", "STO +", 0, OperandSet::A},
    {0x90, 0x9F, "44,40,", "STO +", 0, OperandSet::B},
    {0xA0, 0xAF, "44,30,", "STO −", 0, OperandSet::A},
    {0xB0, 0xBF, "44,30,", "STO −", 0, OperandSet::B},
    {0xC0, 0xCF, "44,20,", "STO ×", 0, OperandSet::A},
    {0xD0, 0xDF, "44,20,", "STO ×", 0, OperandSet::B},
    {0xE0, 0xEF, "44,10,", "STO ÷", 0, OperandSet::A},
    {0xF0, 0xFF, "44,10,", "STO ÷", 0, OperandSet::B},
};

constexpr Run kT5Runs[] = {
    {0x00, 0x0F, "44,20,", "STO ×", 0, OperandSet::B},
    {0x10, 0x1F, "42,10,", "SOLVE", 'f', OperandSet::A},
    {0x20, 0x2F, "42,10,", "SOLVE", 'f', OperandSet::B},
    {0x30, 0x3F, "42,20,", "∫ʸₓ", 'f', OperandSet::A},
    {0x40, 0x4F, "42,20,", "∫ʸₓ", 'f', OperandSet::B},
    {0x50, 0x5F, "42, 4,", "x≷", 'f', OperandSet::A},
    {0x60, 0x6F, "42, 4,", "x≷", 'f', OperandSet::B},
    {0x70, 0x7F, "42, 5,", "DSE", 'f', OperandSet::A},
    {0x80, 0x8F, "42, 5,", "DSE", 'f', OperandSet::B},
    {0x90, 0x9F, "42, 6,", "ISG", 'f', OperandSet::A},
    {0xA0, 0xAF, "42, 6,", "ISG", 'f', OperandSet::B},
    {0xB0, 0xBF, "44,40,", "STO +", 0, OperandSet::A},
    {0xC0, 0xCF, "44,40,", "STO +", 0, OperandSet::B},
    {0xD0, 0xDF, "44,30,", "STO −", 0, OperandSet::A},
    {0xE0, 0xEF, "44,30,", "STO −", 0, OperandSet::B},
    {0xF0, 0xFF, "44,20,", "STO ×", 0, OperandSet::A},
};

constexpr Run kT6Runs[] = {
    {0x00, 0x0F, "42,21,", "LBL", 'f', OperandSet::B},
    {0x10, 0x1F, "22", "GTO", 0, OperandSet::B},
    {0x20, 0x2F, "32", "GSB", 0, OperandSet::B},
    {0x30, 0x3F, "43, 4,", "SF", 'g', OperandSet::C},
    {0x40, 0x4F, "43, 5,", "CF", 'g', OperandSet::C},
    {0x50, 0x5F, "43, 6,", "F?", 'g', OperandSet::C},
    {0x60, 0x6F, "42, 7,", "FIX", 'f', OperandSet::C},
    {0x70, 0x7F, "42, 8,", "SCI", 'f', OperandSet::C},
    {0x80, 0x8F, "42, 9,", "ENG", 'f', OperandSet::C},
    {0x90, 0x9F, "42,16,", "MATRIX", 'f', OperandSet::C},
    {0xA0, 0xAF, "44,16,", "STO MATRIX", 0, OperandSet::A},
    {0xB0, 0xBF, "42,10,", "SOLVE", 'f', OperandSet::A},
    {0xC0, 0xCF, "42,20,", "∫ʸₓ", 'f', OperandSet::A},
    {0xD0, 0xDF, "42, 4,", "x≷", 'f', OperandSet::A},
    {0xE0, 0xEF, "42, 5,", "DSE", 'f', OperandSet::A},
    {0xF0, 0xFF, "42, 6,", "ISG", 'f', OperandSet::A},
};

constexpr KeyTable kOneByte = build::tableOf({kOneByteRuns, kIndirectRuns});

constexpr KeyTable buildT0()
{
    KeyTable table = kOneByte;
    build::apply(table, kT0Runs, false);
    return table;
}

constexpr KeyTable kT0 = buildT0();
constexpr KeyTable kT1 = build::tableOf({kT1Runs, kIndirectRuns});

// T2: T0 and T1 put together; where T1 takes the second half of operand set B
// (SST ... RESULT, keys 21 to 26), T2 takes the second half of set A (A ... MATRIX,
// keys 11 to 16) in its place.
constexpr bool endsWith(const char* text, build::Word tail)
{
    const size_t n = build::length(text);
    if (tail.size > n)
        return false;
    for (size_t i = 0; i < tail.size; ++i)
        if (text[n - tail.size + i] != tail.text[i])
            return false;
    return true;
}

template <size_t N>
constexpr void replaceTail(char (&field)[N], build::Word from, build::Word to)
{
    const size_t n = build::length(field);
    // The operand stands alone at the end, after a blank or a comma.
    if (!endsWith(field, from) || n <= from.size || (field[n - from.size - 1] != ' ' && field[n - from.size - 1] != ','))
        throw std::logic_error("row does not end in the operand it should");
    field[n - from.size] = 0;
    build::append(field, to.text, to.size);
}

constexpr KeyTable buildT2()
{
    KeyTable table{};
    for (int code = 0; code <= 0xFF; ++code)
        table[code] = (code >= 0xA0 && code <= 0xA7) || code >= 0xB0 ? kT1[code] : kT0[code];
    const build::OperandList setA = build::operandSet(OperandSet::A);
    const build::OperandList setB = build::operandSet(OperandSet::B);
    for (int code = 0xB0; code <= 0xFF; ++code) {
        const int low = code & 0xF;
        if (low < 10)
            continue;
        KeyRow& row = table[code];
        build::Word fromName = build::wordAt(setB.operands, low);
        build::Word toName = build::wordAt(setA.operands, low);
        replaceTail(row.mnemonic, fromName, toName);
        replaceTail(row.keys, build::wordAt(setB.keys, low), build::wordAt(setA.keys, low));
    }
    return table;
}

constexpr KeyTable kT2 = buildT2();
constexpr KeyTable kT3 = build::tableOf(kT3Runs);
constexpr KeyTable kT4 = build::tableOf(kT4Runs);
constexpr KeyTable kT5 = build::tableOf(kT5Runs);
constexpr KeyTable kT6 = build::tableOf(kT6Runs);

constexpr const KeyTable* kSecondByte[kSecondByteTables15c] = {&kT0, &kT1, &kT2, &kT3, &kT4, &kT5, &kT6};

} // namespace

const KeyTable& keyTable15c() { return kOneByte; }

const KeyTable& secondByteTable15c(int table)
{
    return *kSecondByte[table >= 0 && table < kSecondByteTables15c ? table : 0];
}

int secondByteTableFor15c(uint8_t first)
{
    if ((first & 0x0F) != 0x0F)
        return -1;
    switch (first) {
    case 0x0F: return 0;
    case 0xBF: return 2;
    case 0xCF: return 3;
    case 0xDF: return 4;
    case 0xEF: return 5;
    case 0xFF: return 6;
    default: return 1; // 0x1F to 0xAF
    }
}

const KeyRow& keyRow15c(uint8_t first, uint8_t second)
{
    const int table = secondByteTableFor15c(first);
    return table < 0 ? kOneByte[first] : (*kSecondByte[table])[second];
}

} // namespace tw::decode
