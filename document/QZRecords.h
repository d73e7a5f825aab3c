// The persistent records of test files, page files and page objects.
//
// Each struct is the file layout byte for byte (little-endian, no alignment
// gaps of the compiler's own): sizes and offsets are checked below. Padding and
// reserved fields are kept as members so that a record read and written back
// carries them unchanged.
#pragma once

#include "QZTypes.h"

#include <cstddef>

// Face, size, style and character set of a text, with its colour (268 bytes).
// Height follows the platform convention: negative is the character height,
// positive the cell height, in pixels in a live object and in virtual y units
// in a file.
struct TFontRecord
{
    TColor Color;
    TShortString<255> Name;
    TInt32 Height;
    quint8 Style; // bit 0 bold, bit 1 italic, bit 2 underline, bit 3 strike-out
    quint8 Charset;
    quint8 Padding[2];
};

enum TFontStyleBits : quint8 {
    FontBold = 1,
    FontItalic = 2,
    FontUnderline = 4,
    FontStrikeOut = 8,
};

// Header of a test file (2400 bytes).
struct TTestRecord
{
    TShortString<51> Banner; // ignored on reading
    TInt32 FileVersion;
    TShortString<30> EditPassword;
    quint8 Reserved;
    TShortString<255> Title;
    TShortString<255> Comments[8];
    quint8 WrongAnswerMode;
    quint8 Padding[3];
    TInt32 PageCount;
};

// Page record of current files (1292 bytes).
struct TPageRecord
{
    TShortString<255> PageName;
    TShortString<255> CorrectTarget;
    TShortString<255> WrongTarget;
    TInt32 ObjectCount;
    quint8 ObjectTypes[512];
    quint8 Reserved[4];
    TColor PageColor;
};

// Page record of test files of version 512 and lower (828 bytes).
struct TOldPageRecord
{
    TShortString<255> PageName;
    TShortString<255> CorrectTarget;
    TShortString<255> WrongTarget;
    TInt32 ObjectCount;
    quint8 ObjectTypes[52];
    TColor PageColor;
};

// Choices question (2384 bytes).
struct TIzbireRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TShortString<255> QuestionText;
    quint8 ChoiceCount;
    quint8 SingleAnswer; // bool
    TShortString<255> Choices[6];
    TByteSet CorrectSet; // element i present: choice i (1..6) is correct
    quint8 Padding[2];
    TInt32 Points;
    TColor Color;
    TFontRecord QuestionFont;
    TFontRecord ChoiceFont;
};

// Input box question (900 bytes).
struct TVnosnoOknoRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 AnswerCount;
    TShortString<100> Answers[6]; // slot 0 unused, slots 1..5 accepted answers
    quint8 CaseSensitive;         // bool
    quint8 Padding;
    TInt32 Points;
    TColor Color;
    TFontRecord Font;
};

// Alternative question (536 bytes).
struct TDaNeRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    quint8 FirstIsCorrect; // bool
    quint8 Padding[3];
    TColor Color;
    TShortString<255> FirstText;
    TShortString<255> SecondText;
    TInt32 Points;
};

// Transparent text (544 bytes).
struct TBesediloRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
    TShortString<255> Text;
    quint8 Alignment; // 0 left, 1 right, 2 centre
    quint8 Padding[3];
    TFontRecord Font;
};

// Text on a coloured panel (548 bytes).
struct TPanelBesediloRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
    TShortString<255> Text;
    TFontRecord Font;
    quint8 TextPosition; // 0 free, 1 docked at the top, 2 docked at the bottom
    quint8 Alignment;    // 0 left, 1 right, 2 centre
    quint8 Padding[2];
    TColor Color;
};

// Button (804 bytes).
struct TGumbRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
    TShortString<255> Caption;
    TFontRecord Font;
    TColor Color;
    TShortString<255> TargetPage;
    quint8 ButtonKind; // 0 forward, 1 back, 2 confirm, 3 page, 4 exit
    quint8 Padding[3];
};

// What a button does (TGumbRecord::ButtonKind).
enum TButtonKind : quint8 {
    KindForward = 0,
    KindBack = 1,
    KindConfirm = 2,
    KindPage = 3,
    KindExit = 4,
};

// The target name that stands for the next page.
inline constexpr char ForwardTargetName[] = "(Forward)";

// Rich text frame (28 bytes), followed by RtfLength bytes of RTF.
struct TMemoRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
    TColor Color;
    TInt32 RtfLength;
    TInt32 SavedEditHeight; // pixels of the inner box when written; never scaled
};

// Picture (24 bytes), followed by PictureLength bytes of a picture file image.
struct TSlikaRecord
{
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
    quint8 Stretch;
    quint8 PictureKind; // 0 bitmap, 1 metafile, 2 icon
    quint8 Padding[2];
    TInt32 PictureLength;
};

// Multimedia clip (376 bytes).
struct TMediaRecord
{
    TShortString<100> MediaFile;
    TShortString<255> Caption;
    quint8 Padding[3];
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
};

// OLE frame (32 bytes), followed by OleLength bytes when IsEmpty is 0.
struct TOleRecord
{
    quint8 IsEmpty;
    quint8 Padding1[3];
    TColor Color;
    quint8 SizeMode;
    quint8 ActivationEnabled;
    quint8 Padding2[2];
    TInt32 Left;
    TInt32 Top;
    TInt32 Width;
    TInt32 Height;
    TInt32 OleLength;
};

// Object type tags as they stand in a page record's ObjectTypes.
enum TObjectType : quint8 {
    ObjIzbire = 0,
    ObjVnosnoOkno = 1,
    ObjDaNe = 2,
    ObjBesedilo = 3,
    ObjPanelBesedilo = 4,
    ObjMemo = 5,
    ObjSlika = 6,
    ObjMedia = 7,
    ObjOle = 8,
    ObjPage = 9, // the page record; never an object's type
    ObjGumb = 10,
};

constexpr int ObjectTypeCount = 11;
constexpr int MaxPageObjects = 512;
constexpr int MaxOldPageObjects = 52;
constexpr qint32 CurrentFileVersion = 768;
constexpr qint32 LastOldPageVersion = 512;

constexpr bool IsQuestionType(int tag) { return tag >= 0 && tag < 3; }

// Size of the fixed record of each type tag; 0 for tags that are no type.
constexpr int RecordSize(int tag)
{
    constexpr int sizes[ObjectTypeCount] = {2384, 900, 536, 544, 548, 28, 24, 376, 32, 1292, 804};
    return tag >= 0 && tag < ObjectTypeCount ? sizes[tag] : 0;
}

// Size of the record an object of the type writes: 0 for the page tag and for
// tags without a class, which make no object and frame no bytes.
constexpr int ObjectRecordSize(int tag) { return tag == ObjPage ? 0 : RecordSize(tag); }

// Record sizes, checked against the file format.
static_assert(sizeof(TFontRecord) == 268);
static_assert(offsetof(TFontRecord, Name) == 4);
static_assert(offsetof(TFontRecord, Height) == 260);
static_assert(offsetof(TFontRecord, Style) == 264);
static_assert(offsetof(TFontRecord, Charset) == 265);

static_assert(sizeof(TTestRecord) == 2400);
static_assert(offsetof(TTestRecord, FileVersion) == 52);
static_assert(offsetof(TTestRecord, EditPassword) == 56);
static_assert(offsetof(TTestRecord, Reserved) == 87);
static_assert(offsetof(TTestRecord, Title) == 88);
static_assert(offsetof(TTestRecord, Comments) == 344);
static_assert(offsetof(TTestRecord, Comments) + 7 * 256 == 2136);
static_assert(offsetof(TTestRecord, WrongAnswerMode) == 2392);
static_assert(offsetof(TTestRecord, PageCount) == 2396);

static_assert(sizeof(TPageRecord) == 1292 && sizeof(TPageRecord) == RecordSize(ObjPage));
static_assert(offsetof(TPageRecord, CorrectTarget) == 256);
static_assert(offsetof(TPageRecord, WrongTarget) == 512);
static_assert(offsetof(TPageRecord, ObjectCount) == 768);
static_assert(offsetof(TPageRecord, ObjectTypes) == 772);
static_assert(offsetof(TPageRecord, Reserved) == 1284);
static_assert(offsetof(TPageRecord, PageColor) == 1288);

static_assert(sizeof(TOldPageRecord) == 828);
static_assert(offsetof(TOldPageRecord, ObjectCount) == 768);
static_assert(offsetof(TOldPageRecord, ObjectTypes) == 772);
static_assert(offsetof(TOldPageRecord, PageColor) == 824);

static_assert(sizeof(TIzbireRecord) == 2384 && sizeof(TIzbireRecord) == RecordSize(ObjIzbire));
static_assert(offsetof(TIzbireRecord, Top) == 4);
static_assert(offsetof(TIzbireRecord, Width) == 8);
static_assert(offsetof(TIzbireRecord, QuestionText) == 12);
static_assert(offsetof(TIzbireRecord, ChoiceCount) == 268);
static_assert(offsetof(TIzbireRecord, SingleAnswer) == 269);
static_assert(offsetof(TIzbireRecord, Choices) == 270);
static_assert(offsetof(TIzbireRecord, CorrectSet) == 1806);
static_assert(offsetof(TIzbireRecord, Points) == 1840);
static_assert(offsetof(TIzbireRecord, Color) == 1844);
static_assert(offsetof(TIzbireRecord, QuestionFont) == 1848);
static_assert(offsetof(TIzbireRecord, ChoiceFont) == 2116);

static_assert(sizeof(TVnosnoOknoRecord) == 900 &&
              sizeof(TVnosnoOknoRecord) == RecordSize(ObjVnosnoOkno));
static_assert(offsetof(TVnosnoOknoRecord, AnswerCount) == 12);
static_assert(offsetof(TVnosnoOknoRecord, Answers) == 16);
static_assert(offsetof(TVnosnoOknoRecord, CaseSensitive) == 622);
static_assert(offsetof(TVnosnoOknoRecord, Points) == 624);
static_assert(offsetof(TVnosnoOknoRecord, Color) == 628);
static_assert(offsetof(TVnosnoOknoRecord, Font) == 632);

static_assert(sizeof(TDaNeRecord) == 536 && sizeof(TDaNeRecord) == RecordSize(ObjDaNe));
static_assert(offsetof(TDaNeRecord, FirstIsCorrect) == 12);
static_assert(offsetof(TDaNeRecord, Color) == 16);
static_assert(offsetof(TDaNeRecord, FirstText) == 20);
static_assert(offsetof(TDaNeRecord, SecondText) == 276);
static_assert(offsetof(TDaNeRecord, Points) == 532);

static_assert(sizeof(TBesediloRecord) == 544 && sizeof(TBesediloRecord) == RecordSize(ObjBesedilo));
static_assert(offsetof(TBesediloRecord, Height) == 12);
static_assert(offsetof(TBesediloRecord, Text) == 16);
static_assert(offsetof(TBesediloRecord, Alignment) == 272);
static_assert(offsetof(TBesediloRecord, Font) == 276);

static_assert(sizeof(TPanelBesediloRecord) == 548 &&
              sizeof(TPanelBesediloRecord) == RecordSize(ObjPanelBesedilo));
static_assert(offsetof(TPanelBesediloRecord, Text) == 16);
static_assert(offsetof(TPanelBesediloRecord, Font) == 272);
static_assert(offsetof(TPanelBesediloRecord, TextPosition) == 540);
static_assert(offsetof(TPanelBesediloRecord, Alignment) == 541);
static_assert(offsetof(TPanelBesediloRecord, Color) == 544);

static_assert(sizeof(TGumbRecord) == 804 && sizeof(TGumbRecord) == RecordSize(ObjGumb));
static_assert(offsetof(TGumbRecord, Caption) == 16);
static_assert(offsetof(TGumbRecord, Font) == 272);
static_assert(offsetof(TGumbRecord, Color) == 540);
static_assert(offsetof(TGumbRecord, TargetPage) == 544);
static_assert(offsetof(TGumbRecord, ButtonKind) == 800);

static_assert(sizeof(TMemoRecord) == 28 && sizeof(TMemoRecord) == RecordSize(ObjMemo));
static_assert(offsetof(TMemoRecord, Color) == 16);
static_assert(offsetof(TMemoRecord, RtfLength) == 20);
static_assert(offsetof(TMemoRecord, SavedEditHeight) == 24);

static_assert(sizeof(TSlikaRecord) == 24 && sizeof(TSlikaRecord) == RecordSize(ObjSlika));
static_assert(offsetof(TSlikaRecord, Stretch) == 16);
static_assert(offsetof(TSlikaRecord, PictureKind) == 17);
static_assert(offsetof(TSlikaRecord, PictureLength) == 20);

static_assert(sizeof(TMediaRecord) == 376 && sizeof(TMediaRecord) == RecordSize(ObjMedia));
static_assert(offsetof(TMediaRecord, Caption) == 101);
static_assert(offsetof(TMediaRecord, Left) == 360);
static_assert(offsetof(TMediaRecord, Top) == 364);
static_assert(offsetof(TMediaRecord, Width) == 368);
static_assert(offsetof(TMediaRecord, Height) == 372);

static_assert(sizeof(TOleRecord) == 32 && sizeof(TOleRecord) == RecordSize(ObjOle));
static_assert(offsetof(TOleRecord, Color) == 4);
static_assert(offsetof(TOleRecord, SizeMode) == 8);
static_assert(offsetof(TOleRecord, ActivationEnabled) == 9);
static_assert(offsetof(TOleRecord, Left) == 12);
static_assert(offsetof(TOleRecord, Height) == 24);
static_assert(offsetof(TOleRecord, OleLength) == 28);
