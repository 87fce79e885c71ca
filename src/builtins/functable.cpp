// Keyword and function table (the built-in records, checked at compile time,
// and the accessors that find a record by token ID in any of the tables).
#include "builtins/functable.h"

#include "exec/udf.h"

namespace zel {

using fn::Args;
using fn::FloatConst;
using fn::IntConst;
using fn::NoArgs;
using fn::SelfParsed;
using fn::StringConst;
using fn::Types;

// Sorted by name in byte order; each record's id is its index. Columns: id,
// kind, argument types, counts (or constant value), name length, name.
constexpr FunctionTableEntry kBuiltinTable[kKeyTokens] = {
    {0, KIND_UNARY_OPERATOR, 0, NoArgs(), 1, "!"},
    {1, KIND_COMPARISON, 0, NoArgs(), 2, "!="},
    {2, KIND_UNARY_OPERATOR, 0, NoArgs(), 1, "&"},
    {3, KIND_OPERATOR, 0, NoArgs(), 2, "&&"},
    {4, KIND_OPERATOR, 0, NoArgs(), 1, "("},
    {5, KIND_OPERATOR, 0, NoArgs(), 1, ")"},
    {6, KIND_UNARY_OPERATOR, 0, NoArgs(), 1, "*"},
    {7, KIND_OPERATOR, 0, NoArgs(), 2, "**"},
    {8, KIND_UNARY_OPERATOR, 0, NoArgs(), 1, "+"},
    {9, KIND_OPERATOR, 0, NoArgs(), 1, ","},
    {10, KIND_UNARY_OPERATOR, 0, NoArgs(), 1, "-"},
    {11, KIND_OPERATOR, 0, NoArgs(), 1, "/"},
    {12, KIND_OPERATOR, 0, NoArgs(), 1, ":"},
    {13, KIND_OPERATOR, 0, NoArgs(), 2, "::"},
    {14, KIND_COMPARISON, 0, NoArgs(), 1, "<"},
    {15, KIND_OPERATOR, 0, NoArgs(), 2, "<<"},
    {16, KIND_COMPARISON, 0, NoArgs(), 2, "<="},
    {17, KIND_COMPARISON, 0, NoArgs(), 2, "<>"},
    {18, KIND_OPERATOR, 0, NoArgs(), 1, "="},
    {19, KIND_COMPARISON, 0, NoArgs(), 2, "=="},
    {20, KIND_COMPARISON, 0, NoArgs(), 1, ">"},
    {21, KIND_COMPARISON, 0, NoArgs(), 2, ">="},
    {22, KIND_OPERATOR, 0, NoArgs(), 2, ">>"},
    {23, KIND_FUNCTION, 0, Args(0, 0), 10, "?ddeserver"},
    {24, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 14, "?getviapointer"},
    {25, KIND_SPECIAL_FORM, 0, NoArgs(), 12, "?makepointer"},
    {26, KIND_FUNCTION, 0, SelfParsed(), 10, "?oleobject"},
    {27, KIND_FUNCTION, Types(ARG_STRING, ARG_ANY), Args(2, 0), 14, "?setviapointer"},
    {28, KIND_CONSTANT, 0, IntConst(1000000001), 11, "@aboveicons"},
    {29, KIND_CONSTANT, 0, FloatConst(8), 4, "@amc"},
    {30, KIND_CONSTANT, 0, IntConst(2), 8, "@arrange"},
    {31, KIND_CONSTANT, 0, IntConst(0), 10, "@ascending"},
    {32, KIND_CONSTANT, 0, FloatConst(9), 9, "@avogadro"},
    {33, KIND_CONSTANT, 0, IntConst(1), 9, "@backscan"},
    {34, KIND_CONSTANT, 0, FloatConst(10), 10, "@boltzmann"},
    {35, KIND_CONSTANT, 0, IntConst(1), 7, "@cancel"},
    {36, KIND_CONSTANT, 0, IntConst(20), 9, "@capslock"},
    {37, KIND_CONSTANT, 0, IntConst(2), 6, "@check"},
    {38, KIND_CONSTANT, 0, IntConst(4), 8, "@columns"},
    {39, KIND_CONSTANT, 0, StringConst(2), 3, "@cr"},
    {40, KIND_CONSTANT, 0, StringConst(0), 5, "@crlf"},
    {41, KIND_CONSTANT, 0, IntConst(1), 5, "@ctrl"},
    {42, KIND_CONSTANT, 0, FloatConst(2), 8, "@deg2rad"},
    {43, KIND_CONSTANT, 0, IntConst(16), 11, "@descending"},
    {44, KIND_CONSTANT, 0, IntConst(4), 8, "@disable"},
    {45, KIND_CONSTANT, 0, FloatConst(1), 2, "@e"},
    {46, KIND_CONSTANT, 0, FloatConst(11), 9, "@electric"},
    {47, KIND_CONSTANT, 0, IntConst(8), 7, "@enable"},
    {48, KIND_CONSTANT, 0, FloatConst(12), 7, "@eulers"},
    {49, KIND_CONSTANT, 0, IntConst(4), 9, "@extended"},
    {50, KIND_CONSTANT, 0, IntConst(0), 6, "@false"},
    {51, KIND_CONSTANT, 0, FloatConst(13), 8, "@faraday"},
    {52, KIND_CONSTANT, 0, IntConst(8), 7, "@float8"},
    {53, KIND_CONSTANT, 0, IntConst(0), 8, "@fwdscan"},
    {54, KIND_CONSTANT, 0, IntConst(36), 12, "@getexitcode"},
    {55, KIND_CONSTANT, 0, IntConst(35), 10, "@getprocid"},
    {56, KIND_CONSTANT, 0, FloatConst(6), 7, "@gftsec"},
    {57, KIND_CONSTANT, 0, FloatConst(7), 7, "@gmtsec"},
    {58, KIND_CONSTANT, 0, FloatConst(14), 12, "@goldenratio"},
    {59, KIND_CONSTANT, 0, FloatConst(15), 12, "@gravitation"},
    {60, KIND_CONSTANT, 0, IntConst(-1), 7, "@hidden"},
    {61, KIND_CONSTANT, 0, IntConst(1), 5, "@icon"},
    {62, KIND_CONSTANT, 0, IntConst(4), 8, "@lbutton"},
    {63, KIND_CONSTANT, 0, IntConst(513), 7, "@lclick"},
    {64, KIND_CONSTANT, 0, IntConst(515), 10, "@ldblclick"},
    {65, KIND_CONSTANT, 0, StringConst(3), 3, "@lf"},
    {66, KIND_CONSTANT, 0, FloatConst(19), 9, "@lightmps"},
    {67, KIND_CONSTANT, 0, FloatConst(16), 10, "@lightmtps"},
    {68, KIND_CONSTANT, 0, FloatConst(17), 9, "@magfield"},
    {69, KIND_CONSTANT, 0, IntConst(1), 6, "@major"},
    {70, KIND_CONSTANT, 0, IntConst(16), 8, "@mbutton"},
    {71, KIND_CONSTANT, 0, IntConst(519), 7, "@mclick"},
    {72, KIND_CONSTANT, 0, IntConst(521), 10, "@mdblclick"},
    {73, KIND_CONSTANT, 0, IntConst(0), 6, "@minor"},
    {74, KIND_CONSTANT, 0, IntConst(4), 13, "@mplaylbutton"},
    {75, KIND_CONSTANT, 0, IntConst(32), 10, "@mplaylclk"},
    {76, KIND_CONSTANT, 0, IntConst(64), 12, "@mplayldblck"},
    {77, KIND_CONSTANT, 0, IntConst(16), 13, "@mplaymbutton"},
    {78, KIND_CONSTANT, 0, IntConst(128), 10, "@mplaymclk"},
    {79, KIND_CONSTANT, 0, IntConst(256), 12, "@mplaymdblck"},
    {80, KIND_CONSTANT, 0, IntConst(8), 13, "@mplayrbutton"},
    {81, KIND_CONSTANT, 0, IntConst(512), 10, "@mplayrclk"},
    {82, KIND_CONSTANT, 0, IntConst(1024), 12, "@mplayrdblck"},
    {83, KIND_CONSTANT, 0, IntConst(3), 9, "@multiple"},
    {84, KIND_CONSTANT, 0, IntConst(0), 3, "@no"},
    {85, KIND_CONSTANT, 0, IntConst(1000000000), 9, "@noresize"},
    {86, KIND_CONSTANT, 0, IntConst(2), 7, "@normal"},
    {87, KIND_CONSTANT, 0, IntConst(2), 7, "@notify"},
    {88, KIND_CONSTANT, 0, IntConst(33), 7, "@nowait"},
    {89, KIND_CONSTANT, 0, IntConst(144), 8, "@numlock"},
    {90, KIND_CONSTANT, 0, IntConst(0), 4, "@off"},
    {91, KIND_CONSTANT, 0, IntConst(1), 3, "@on"},
    {92, KIND_CONSTANT, 0, IntConst(1), 5, "@open"},
    {93, KIND_CONSTANT, 0, FloatConst(18), 7, "@parsec"},
    {94, KIND_CONSTANT, 0, IntConst(2), 10, "@parseonly"},
    {95, KIND_CONSTANT, 0, FloatConst(0), 3, "@pi"},
    {96, KIND_CONSTANT, 0, FloatConst(5), 11, "@planckergs"},
    {97, KIND_CONSTANT, 0, FloatConst(4), 13, "@planckjoules"},
    {98, KIND_CONSTANT, 0, FloatConst(3), 8, "@rad2deg"},
    {99, KIND_CONSTANT, 0, IntConst(8), 8, "@rbutton"},
    {100, KIND_CONSTANT, 0, IntConst(516), 7, "@rclick"},
    {101, KIND_CONSTANT, 0, IntConst(518), 10, "@rdblclick"},
    {102, KIND_CONSTANT, 0, IntConst(0x80000000), 11, "@regclasses"},
    {103, KIND_CONSTANT, 0, IntConst(0x80000001), 11, "@regcurrent"},
    {104, KIND_CONSTANT, 0, IntConst(0x80000002), 11, "@regmachine"},
    {105, KIND_CONSTANT, 0, IntConst(1), 8, "@regroot"},
    {106, KIND_CONSTANT, 0, IntConst(0x80000003), 9, "@regusers"},
    {107, KIND_CONSTANT, 0, IntConst(3), 5, "@rows"},
    {108, KIND_CONSTANT, 0, IntConst(0), 5, "@save"},
    {109, KIND_CONSTANT, 0, IntConst(145), 11, "@scrolllock"},
    {110, KIND_CONSTANT, 0, IntConst(2), 6, "@shift"},
    {111, KIND_CONSTANT, 0, IntConst(2), 7, "@single"},
    {112, KIND_CONSTANT, 0, IntConst(1), 7, "@sorted"},
    {113, KIND_CONSTANT, 0, IntConst(1), 6, "@stack"},
    {114, KIND_CONSTANT, 0, IntConst(0), 7, "@string"},
    {115, KIND_CONSTANT, 0, StringConst(1), 4, "@tab"},
    {116, KIND_CONSTANT, 0, IntConst(2), 5, "@tile"},
    {117, KIND_CONSTANT, 0, IntConst(1), 5, "@true"},
    {118, KIND_CONSTANT, 0, IntConst(1), 8, "@uncheck"},
    {119, KIND_CONSTANT, 0, IntConst(0), 9, "@unsorted"},
    {120, KIND_CONSTANT, 0, IntConst(34), 5, "@wait"},
    {121, KIND_CONSTANT, 0, IntConst(692837), 13, "@wholesection"},
    {122, KIND_CONSTANT, 0, IntConst(1), 6, "@word1"},
    {123, KIND_CONSTANT, 0, IntConst(2), 6, "@word2"},
    {124, KIND_CONSTANT, 0, IntConst(4), 6, "@word4"},
    {125, KIND_CONSTANT, 0, IntConst(1), 4, "@yes"},
    {126, KIND_CONSTANT, 0, IntConst(3), 7, "@zoomed"},
    {127, KIND_OPERATOR, 0, NoArgs(), 1, "["},
    {128, KIND_OPERATOR, 0, NoArgs(), 1, "]"},
    {129, KIND_OPERATOR, 0, NoArgs(), 1, "^"},
    {130, KIND_FUNCTION, 0, Args(0, 0), 5, "about"},
    {131, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 3, "abs"},
    {132, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "acos"},
    {133, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(1, 1), 11, "addextender"},
    {134, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "appexist"},
    {135, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 12, "appwaitclose"},
    {136, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING, ARG_INT), Args(1, 2), 12, "arrayfileget"},
    {137, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT, ARG_STRING, ARG_INT, ARG_INT), Args(2, 3), 15, "arrayfilegetcsv"},
    {138, KIND_FUNCTION, Types(ARG_STRING, ARG_ARRAY, ARG_INT), Args(2, 1), 12, "arrayfileput"},
    {139, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_ARRAY, ARG_STRING, ARG_INT, ARG_INT), Args(2, 3), 15, "arrayfileputcsv"},
    {140, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 8, "arrayize"},
    {141, KIND_FUNCTION, Types(ARG_ARRAY, ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(11, 0), 17, "arrayswapelements"},
    {142, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(1, 4), 12, "arrdimension"},
    {143, KIND_FUNCTION, Types(ARG_ANY, ARG_INT), Args(2, 0), 7, "arrinfo"},
    {144, KIND_FUNCTION, Types(ARG_ARRAY, ARG_ANY), Args(2, 0), 13, "arrinitialize"},
    {145, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "asin"},
    {146, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_INT), Args(3, 0), 8, "askcolor"},
    {147, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT), Args(5, 0), 12, "askdirectory"},
    {148, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT), Args(5, 0), 11, "askfilename"},
    {149, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_SYS, ARG_INT, ARG_INT, ARG_INT), Args(4, 1), 11, "askfiletext"},
    {150, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING, ARG_INT), Args(4, 0), 7, "askfont"},
    {151, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT, ARG_INT, ARG_INT), Args(5, 1), 11, "askitemlist"},
    {152, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT), Args(3, 1), 7, "askline"},
    {153, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(2, 0), 11, "askpassword"},
    {154, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT, ARG_ANY), Args(5, 0), 10, "asktextbox"},
    {155, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(2, 0), 8, "askyesno"},
    {156, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "atan"},
    {157, KIND_FUNCTION, 0, SelfParsed(), 7, "average"},
    {158, KIND_COMMAND, 0, NoArgs(), 4, "beep"},
    {159, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 11, "binaryalloc"},
    {160, KIND_FUNCTION, Types(ARG_ARRAY), Args(1, 0), 16, "binaryallocarray"},
    {161, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 9, "binaryand"},
    {162, KIND_FUNCTION, Types(ARG_ANY, ARG_INT), Args(2, 0), 13, "binarybufinfo"},
    {163, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 14, "binarychecksum"},
    {164, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 13, "binaryclipget"},
    {165, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 13, "binaryclipput"},
    {166, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 10, "binarycomp"},
    {167, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 13, "binarycompare"},
    {168, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 13, "binaryconvert"},
    {169, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 10, "binarycopy"},
    {170, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "binaryeodget"},
    {171, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 12, "binaryeodset"},
    {172, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "binaryfree"},
    {173, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_STRING), Args(5, 0), 13, "binaryhashrec"},
    {174, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 10, "binaryincr"},
    {175, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 11, "binaryincr2"},
    {176, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 11, "binaryincr4"},
    {177, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 13, "binaryincrflt"},
    {178, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING, ARG_INT), Args(4, 0), 11, "binaryindex"},
    {179, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_ANY, ARG_INT, ARG_INT), Args(4, 1), 14, "binaryindexbin"},
    {180, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING, ARG_INT, ARG_INT), Args(5, 0), 13, "binaryindexex"},
    {181, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING, ARG_INT), Args(4, 0), 13, "binaryindexnc"},
    {182, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 13, "binaryoletype"},
    {183, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 8, "binaryor"},
    {184, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 10, "binarypeek"},
    {185, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 11, "binarypeek2"},
    {186, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 11, "binarypeek4"},
    {187, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 13, "binarypeekflt"},
    {188, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 13, "binarypeekhex"},
    {189, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 13, "binarypeekstr"},
    {190, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(3, 1), 14, "binarypeekstrw"},
    {191, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 10, "binarypoke"},
    {192, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 11, "binarypoke2"},
    {193, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 11, "binarypoke4"},
    {194, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_FLOAT), Args(3, 0), 13, "binarypokeflt"},
    {195, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING), Args(3, 0), 13, "binarypokehex"},
    {196, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING), Args(3, 0), 13, "binarypokestr"},
    {197, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_WSTRING, ARG_INT), Args(3, 1), 14, "binarypokestrw"},
    {198, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT_SYS), Args(2, 0), 10, "binaryread"},
    {199, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(5, 0), 12, "binaryreadex"},
    {200, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_INT), Args(4, 0), 13, "binaryreplace"},
    {201, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 10, "binarysort"},
    {202, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_STRING), Args(4, 0), 12, "binarystrcnt"},
    {203, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(2, 0), 13, "binarytagextr"},
    {204, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 13, "binarytagfind"},
    {205, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(2, 0), 14, "binarytagindex"},
    {206, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 13, "binarytaginit"},
    {207, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(2, 0), 12, "binarytaglen"},
    {208, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 13, "binarytagrepl"},
    {209, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 12, "binaryuncomp"},
    {210, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT_SYS), Args(2, 0), 11, "binarywrite"},
    {211, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(5, 0), 13, "binarywriteex"},
    {212, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 11, "binaryxlate"},
    {213, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 9, "binaryxor"},
    {214, KIND_STRUCTURE, 0, NoArgs(), 5, "break"},
    {215, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(2, 0), 11, "buttonnames"},
    {216, KIND_OPERATOR, 0, NoArgs(), 2, "by"},
    {217, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT), Args(2, 0), 4, "call"},
    {218, KIND_STRUCTURE, 0, NoArgs(), 4, "case"},
    {219, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 7, "ceiling"},
    {220, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 8, "char2num"},
    {221, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 14, "chrgetcodepage"},
    {222, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 14, "chrhextostring"},
    {223, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 15, "chrhextounicode"},
    {224, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 14, "chrsetcodepage"},
    {225, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 14, "chrstringtohex"},
    {226, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 18, "chrstringtounicode"},
    {227, KIND_FUNCTION, Types(ARG_WSTRING), Args(1, 0), 15, "chrunicodetohex"},
    {228, KIND_FUNCTION, Types(ARG_WSTRING), Args(1, 0), 18, "chrunicodetostring"},
    {229, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 10, "clipappend"},
    {230, KIND_FUNCTION, 0, Args(0, 0), 7, "clipget"},
    {231, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 9, "clipgetex"},
    {232, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 13, "cliphasformat"},
    {233, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 7, "clipput"},
    {234, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 15, "computernameget"},
    {235, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 15, "computernameset"},
    {236, KIND_STRUCTURE, 0, NoArgs(), 8, "continue"},
    {237, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 3, "cos"},
    {238, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "cosh"},
    {239, KIND_FUNCTION, Types(ARG_WSTRING, ARG_WSTRING), Args(1, 1), 12, "createobject"},
    {240, KIND_FUNCTION, Types(ARG_ANY, ARG_INT), Args(2, 0), 8, "datacast"},
    {241, KIND_FUNCTION, 0, Args(0, 0), 8, "datetime"},
    {242, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 10, "ddeexecute"},
    {243, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 11, "ddeinitiate"},
    {244, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 7, "ddepoke"},
    {245, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 10, "dderequest"},
    {246, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "ddeterminate"},
    {247, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "ddetimeout"},
    {248, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(1, 1), 5, "debug"},
    {249, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 9, "debugdata"},
    {250, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(1, 2), 10, "debugtrace"},
    {251, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 8, "decimals"},
    {252, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 5, "delay"},
    {253, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(1, 1), 6, "dialog"},
    {254, KIND_FUNCTION, Types(ARG_STRING, ARG_TEXT_SYS), Args(2, 0), 9, "dialogbox"},
    {255, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 16, "dialogcontrolget"},
    {256, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_TEXT), Args(4, 0), 16, "dialogcontrolset"},
    {257, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_STRING), Args(4, 0), 18, "dialogcontrolstate"},
    {258, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_STRING, ARG_STRING), Args(3, 2), 12, "dialogobject"},
    {259, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_TEXT), Args(3, 0), 17, "dialogprocoptions"},
    {260, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "dirattrget"},
    {261, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 12, "dirattrgetex"},
    {262, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING), Args(2, 0), 10, "dirattrset"},
    {263, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(3, 0), 12, "dirattrsetex"},
    {264, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 9, "dirchange"},
    {265, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "direxist"},
    {266, KIND_FUNCTION, 0, Args(0, 0), 6, "dirget"},
    {267, KIND_FUNCTION, 0, Args(0, 0), 7, "dirhome"},
    {268, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 14, "dirinfotoarray"},
    {269, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 10, "diritemize"},
    {270, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "dirmake"},
    {271, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 9, "dirremove"},
    {272, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 9, "dirrename"},
    {273, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 7, "dirsize"},
    {274, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "dirwindows"},
    {275, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 9, "diskexist"},
    {276, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 8, "diskfree"},
    {277, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 8, "diskinfo"},
    {278, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 8, "diskscan"},
    {279, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 8, "disksize"},
    {280, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 11, "diskvolinfo"},
    {281, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(3, 0), 7, "display"},
    {282, KIND_FUNCTION, 0, SelfParsed(), 7, "dllcall"},
    {283, KIND_FUNCTION, 0, SelfParsed(), 12, "dllcallcdecl"},
    {284, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 7, "dllfree"},
    {285, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "dllhinst"},
    {286, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "dllhwnd"},
    {287, KIND_FUNCTION, 0, Args(0, 0), 12, "dlllasterror"},
    {288, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "dllload"},
    {289, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "dosversion"},
    {290, KIND_SPECIAL_FORM, 0, NoArgs(), 4, "drop"},
    {291, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 8, "dropwild"},
    {292, KIND_STRUCTURE, 0, NoArgs(), 4, "else"},
    {293, KIND_STRUCTURE, 0, NoArgs(), 3, "end"},
    {294, KIND_STRUCTURE, 0, NoArgs(), 6, "endfor"},
    {295, KIND_STRUCTURE, 0, NoArgs(), 5, "endif"},
    {296, KIND_STRUCTURE, 0, NoArgs(), 9, "endselect"},
    {297, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "endsession"},
    {298, KIND_STRUCTURE, 0, NoArgs(), 9, "endswitch"},
    {299, KIND_STRUCTURE, 0, NoArgs(), 8, "endwhile"},
    {300, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 11, "environment"},
    {301, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 10, "environset"},
    {302, KIND_FUNCTION, 0, Args(0, 0), 10, "envitemize"},
    {303, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_STRING), Args(3, 0), 10, "errorevent"},
    {304, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 9, "errormode"},
    {305, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 9, "exclusive"},
    {306, KIND_COMMAND, 0, NoArgs(), 7, "execute"},
    {307, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 11, "exetypeinfo"},
    {308, KIND_COMMAND, 0, NoArgs(), 4, "exit"},
    {309, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 3, "exp"},
    {310, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "fabs"},
    {311, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 10, "fileappend"},
    {312, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 11, "fileattrget"},
    {313, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 13, "fileattrgetex"},
    {314, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING), Args(2, 0), 11, "fileattrset"},
    {315, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(3, 0), 13, "fileattrsetex"},
    {316, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 12, "filebasename"},
    {317, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 9, "fileclose"},
    {318, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "filecompare"},
    {319, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT), Args(3, 0), 8, "filecopy"},
    {320, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_STRING), Args(4, 0), 12, "filecopyattr"},
    {321, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 14, "filecreatetemp"},
    {322, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "filedelete"},
    {323, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING), Args(2, 0), 10, "filedigest"},
    {324, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 16, "filedigestgetkey"},
    {325, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 9, "fileexist"},
    {326, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 13, "fileextension"},
    {327, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 12, "filefullname"},
    {328, KIND_FUNCTION, Types(ARG_WSTRING), Args(1, 0), 7, "fileget"},
    {329, KIND_FUNCTION, Types(ARG_WSTRING), Args(1, 0), 8, "filegetw"},
    {330, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 15, "fileinfotoarray"},
    {331, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 11, "fileitemize"},
    {332, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 12, "fileitempath"},
    {333, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "filelocate"},
    {334, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "filemapname"},
    {335, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT), Args(3, 0), 8, "filemove"},
    {336, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_STRING), Args(4, 0), 12, "filemoveattr"},
    {337, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 13, "filenameeval1"},
    {338, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 13, "filenameeval2"},
    {339, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 12, "filenamelong"},
    {340, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 13, "filenameshort"},
    {341, KIND_FUNCTION, Types(ARG_WSTRING, ARG_STRING, ARG_INT, ARG_INT), Args(2, 2), 8, "fileopen"},
    {342, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "filepath"},
    {343, KIND_FUNCTION, Types(ARG_WSTRING, ARG_STRING), Args(2, 0), 7, "fileput"},
    {344, KIND_FUNCTION, Types(ARG_WSTRING, ARG_WSTRING), Args(2, 0), 8, "fileputw"},
    {345, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 8, "fileread"},
    {346, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 10, "filerename"},
    {347, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "fileroot"},
    {348, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 8, "filesize"},
    {349, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 10, "filesizeex"},
    {350, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 12, "filetimecode"},
    {351, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 11, "filetimeget"},
    {352, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 13, "filetimegetex"},
    {353, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING), Args(2, 0), 11, "filetimeset"},
    {354, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING, ARG_INT), Args(3, 0), 13, "filetimesetex"},
    {355, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 13, "filetimetouch"},
    {356, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING, ARG_STRING), Args(3, 0), 11, "fileverinfo"},
    {357, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT), Args(2, 0), 9, "filewrite"},
    {358, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "fileymdhms"},
    {359, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "findwindow"},
    {360, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 5, "floor"},
    {361, KIND_STRUCTURE, 0, NoArgs(), 3, "for"},
    {362, KIND_STRUCTURE, 0, NoArgs(), 7, "foreach"},
    {363, KIND_FUNCTION, 0, Args(0, 0), 12, "getexacttime"},
    {364, KIND_FUNCTION, 0, SelfParsed(), 9, "getobject"},
    {365, KIND_FUNCTION, 0, Args(0, 0), 12, "gettickcount"},
    {366, KIND_STRUCTURE, 0, NoArgs(), 5, "gosub"},
    {367, KIND_COMMAND, 0, NoArgs(), 4, "goto"},
    {368, KIND_FUNCTION, 0, Args(0, 0), 11, "iconarrange"},
    {369, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT), Args(3, 0), 11, "iconextract"},
    {370, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 8, "iconinfo"},
    {371, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT), Args(3, 0), 11, "iconreplace"},
    {372, KIND_STRUCTURE, 0, NoArgs(), 2, "if"},
    {373, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 11, "ignoreinput"},
    {374, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 9, "inidelete"},
    {375, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING), Args(3, 0), 12, "inideletepvt"},
    {376, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 10, "iniitemize"},
    {377, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 13, "iniitemizepvt"},
    {378, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING), Args(3, 0), 7, "iniread"},
    {379, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING, ARG_STRING), Args(4, 0), 10, "inireadpvt"},
    {380, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING), Args(3, 0), 8, "iniwrite"},
    {381, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING, ARG_STRING), Args(4, 0), 11, "iniwritepvt"},
    {382, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(5, 0), 11, "installfile"},
    {383, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 3, "int"},
    {384, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_STRING, ARG_STRING), Args(5, 0), 10, "intcontrol"},
    {385, KIND_SPECIAL_FORM, 0, NoArgs(), 9, "isdefined"},
    {386, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 7, "isfloat"},
    {387, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 5, "isint"},
    {388, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 9, "iskeydown"},
    {389, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 8, "isnumber"},
    {390, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT), Args(2, 0), 9, "itemcount"},
    {391, KIND_FUNCTION, Types(ARG_TEXT, ARG_INT, ARG_TEXT), Args(2, 1), 12, "itemcountcsv"},
    {392, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT, ARG_TEXT), Args(3, 0), 11, "itemextract"},
    {393, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT, ARG_INT, ARG_TEXT), Args(3, 1), 14, "itemextractcsv"},
    {394, KIND_FUNCTION, Types(ARG_TEXT, ARG_INT, ARG_TEXT, ARG_TEXT), Args(4, 0), 10, "iteminsert"},
    {395, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_TEXT), Args(3, 0), 10, "itemlocate"},
    {396, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT, ARG_TEXT), Args(3, 0), 10, "itemremove"},
    {397, KIND_FUNCTION, Types(ARG_TEXT, ARG_INT, ARG_TEXT, ARG_TEXT), Args(4, 0), 11, "itemreplace"},
    {398, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING), Args(3, 0), 10, "itemselect"},
    {399, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT), Args(2, 0), 8, "itemsort"},
    {400, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 10, "itemsortnc"},
    {401, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "keytoggleget"},
    {402, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 12, "keytoggleset"},
    {403, KIND_FUNCTION, 0, Args(0, 0), 9, "lasterror"},
    {404, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 5, "log10"},
    {405, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "log2"},
    {406, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "logdisk"},
    {407, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "loge"},
    {408, KIND_FUNCTION, 0, SelfParsed(), 3, "max"},
    {409, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(2, 0), 7, "message"},
    {410, KIND_FUNCTION, 0, SelfParsed(), 3, "min"},
    {411, KIND_OPERATOR, 0, NoArgs(), 3, "mod"},
    {412, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 10, "mouseclick"},
    {413, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS), Args(3, 0), 13, "mouseclickbtn"},
    {414, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "mousecoords"},
    {415, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 9, "mouseinfo"},
    {416, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_TEXT_SYS, ARG_TEXT_SYS), Args(4, 0), 9, "mousemove"},
    {417, KIND_FUNCTION, Types(ARG_STRING, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_FLOAT), Args(5, 0), 9, "mouseplay"},
    {418, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "msgtextget"},
    {419, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 7, "netinfo"},
    {420, KIND_STRUCTURE, 0, NoArgs(), 4, "next"},
    {421, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 8, "num2char"},
    {422, KIND_FUNCTION, Types(ARG_WSTRING, ARG_INT), Args(2, 0), 12, "objectaccess"},
    {423, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 11, "objectclose"},
    {424, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 21, "objectcollectionclose"},
    {425, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 20, "objectcollectionnext"},
    {426, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 20, "objectcollectionopen"},
    {427, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 18, "objectconstantsget"},
    {428, KIND_FUNCTION, Types(ARG_ANY), Args(1, 0), 18, "objectconsttoarray"},
    {429, KIND_FUNCTION, Types(ARG_WSTRING, ARG_WSTRING), Args(1, 1), 12, "objectcreate"},
    {430, KIND_FUNCTION, Types(ARG_ANY, ARG_WSTRING, ARG_STRING), Args(3, 0), 14, "objecteventadd"},
    {431, KIND_FUNCTION, Types(ARG_ANY, ARG_WSTRING), Args(2, 0), 17, "objecteventremove"},
    {432, KIND_FUNCTION, 0, SelfParsed(), 9, "objectget"},
    {433, KIND_FUNCTION, Types(ARG_WSTRING), Args(1, 0), 10, "objectopen"},
    {434, KIND_FUNCTION, 0, SelfParsed(), 10, "objecttype"},
    {435, KIND_SPECIAL_FORM, 0, NoArgs(), 13, "objecttypeget"},
    {436, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 9, "parsedata"},
    {437, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(2, 0), 5, "pause"},
    {438, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 15, "pipeclientclose"},
    {439, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 14, "pipeclientopen"},
    {440, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_INT), Args(3, 0), 22, "pipeclientsendrecvdata"},
    {441, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 8, "pipeinfo"},
    {442, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 15, "pipeserverclose"},
    {443, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 16, "pipeservercreate"},
    {444, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 14, "pipeserverread"},
    {445, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 15, "pipeserverwrite"},
    {446, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 9, "playmedia"},
    {447, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 8, "playmidi"},
    {448, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 12, "playwaveform"},
    {449, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(4, 0), 5, "print"},
    {450, KIND_SPECIAL_FORM, 0, NoArgs(), 9, "ptrglobal"},
    {451, KIND_SPECIAL_FORM, 0, NoArgs(), 15, "ptrglobaldefine"},
    {452, KIND_SPECIAL_FORM, 0, NoArgs(), 13, "ptrglobaltest"},
    {453, KIND_SPECIAL_FORM, 0, NoArgs(), 13, "ptrpersistent"},
    {454, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 6, "random"},
    {455, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 6, "regapp"},
    {456, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 11, "regclosekey"},
    {457, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(2, 0), 10, "regconnect"},
    {458, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 12, "regcreatekey"},
    {459, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 12, "regdeletekey"},
    {460, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 11, "regdelvalue"},
    {461, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 12, "regentrytype"},
    {462, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 11, "regexistkey"},
    {463, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 13, "regexistvalue"},
    {464, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_TEXT_SYS), Args(3, 0), 11, "regloadhive"},
    {465, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "regopenflags"},
    {466, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 10, "regopenkey"},
    {467, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_ANY, ARG_ANY), Args(3, 2), 12, "regopenkeyex"},
    {468, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 11, "regquerybin"},
    {469, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_INT), Args(2, 1), 13, "regquerydword"},
    {470, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_INT), Args(4, 0), 10, "regqueryex"},
    {471, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 13, "regqueryexpsz"},
    {472, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 12, "regqueryitem"},
    {473, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(2, 0), 11, "regquerykey"},
    {474, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 24, "regquerykeylastwritetime"},
    {475, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "regquerykeys"},
    {476, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 13, "regquerymulsz"},
    {477, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 13, "regqueryqword"},
    {478, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 11, "regquerystr"},
    {479, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 13, "regqueryvalue"},
    {480, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 9, "regsetbin"},
    {481, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_INT), Args(3, 1), 11, "regsetdword"},
    {482, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_STRING, ARG_INT), Args(5, 0), 8, "regsetex"},
    {483, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 11, "regsetexpsz"},
    {484, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING, ARG_STRING), Args(4, 0), 11, "regsetmulsz"},
    {485, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 11, "regsetqword"},
    {486, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_STRING), Args(3, 0), 11, "regsetvalue"},
    {487, KIND_FUNCTION, Types(ARG_INT, ARG_STRING), Args(2, 0), 13, "regunloadhive"},
    {488, KIND_STRUCTURE, 0, NoArgs(), 6, "return"},
    {489, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 3, "run"},
    {490, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(4, 0), 10, "runenviron"},
    {491, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 7, "runexit"},
    {492, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 7, "runhide"},
    {493, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "runhidewait"},
    {494, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 7, "runicon"},
    {495, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "runiconwait"},
    {496, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(5, 0), 8, "runshell"},
    {497, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 7, "runwait"},
    {498, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT, ARG_WSTRING, ARG_WSTRING, ARG_WSTRING, ARG_INT), Args(9, 0), 12, "runwithlogon"},
    {499, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 7, "runzoom"},
    {500, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "runzoomwait"},
    {501, KIND_STRUCTURE, 0, NoArgs(), 6, "select"},
    {502, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 7, "sendkey"},
    {503, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_STRING), Args(3, 0), 13, "sendkeyschild"},
    {504, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING), Args(2, 0), 10, "sendkeysto"},
    {505, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 11, "sendmenusto"},
    {506, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT), Args(2, 1), 13, "sendmenustoex"},
    {507, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_STRING), Args(4, 0), 12, "sendmessagea"},
    {508, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_WSTRING), Args(4, 0), 12, "sendmessagew"},
    {509, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_TEXT_SYS), Args(5, 0), 12, "shellexecute"},
    {510, KIND_FUNCTION, Types(ARG_STRING, ARG_INT, ARG_INT), Args(1, 2), 11, "shortcutdir"},
    {511, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(5, 1), 12, "shortcutedit"},
    {512, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING, ARG_INT, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(1, 5), 13, "shortcutextra"},
    {513, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(1, 1), 12, "shortcutinfo"},
    {514, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(5, 1), 12, "shortcutmake"},
    {515, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 3, "sin"},
    {516, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "sinh"},
    {517, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 8, "snapshot"},
    {518, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 6, "sounds"},
    {519, KIND_FUNCTION, Types(ARG_INT, ARG_INT), Args(1, 1), 11, "soundvolume"},
    {520, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "sqrt"},
    {521, KIND_FUNCTION, Types(ARG_TEXT, ARG_INT), Args(2, 0), 12, "strbytecount"},
    {522, KIND_FUNCTION, 0, SelfParsed(), 6, "strcat"},
    {523, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 12, "strcharcount"},
    {524, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT, ARG_INT), Args(5, 0), 8, "strclean"},
    {525, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT), Args(2, 0), 6, "strcmp"},
    {526, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT, ARG_INT, ARG_INT), Args(5, 0), 6, "strcnt"},
    {527, KIND_FUNCTION, Types(ARG_TEXT, ARG_INT), Args(2, 0), 7, "strfill"},
    {528, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT), Args(3, 0), 6, "strfix"},
    {529, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT), Args(3, 0), 11, "strfixbytes"},
    {530, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT), Args(3, 0), 12, "strfixbytesl"},
    {531, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT), Args(3, 0), 11, "strfixchars"},
    {532, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT), Args(3, 0), 12, "strfixcharsl"},
    {533, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT), Args(3, 0), 10, "strfixleft"},
    {534, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT), Args(2, 0), 7, "stricmp"},
    {535, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT, ARG_INT), Args(4, 0), 8, "strindex"},
    {536, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT, ARG_INT), Args(4, 0), 10, "strindexnc"},
    {537, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT), Args(3, 0), 12, "strindexwild"},
    {538, KIND_FUNCTION, Types(ARG_WSTRING, ARG_WSTRING, ARG_WSTRING, ARG_INT, ARG_INT), Args(2, 3), 9, "strinsert"},
    {539, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 6, "strlen"},
    {540, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT), Args(3, 0), 10, "strlenwild"},
    {541, KIND_FUNCTION, Types(ARG_TEXT_BOTH), Args(1, 0), 8, "strlower"},
    {542, KIND_FUNCTION, Types(ARG_WSTRING, ARG_WSTRING, ARG_WSTRING, ARG_INT, ARG_INT), Args(2, 3), 10, "stroverlay"},
    {543, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_TEXT), Args(3, 0), 10, "strreplace"},
    {544, KIND_FUNCTION, Types(ARG_TEXT, ARG_TEXT, ARG_INT, ARG_INT), Args(4, 0), 7, "strscan"},
    {545, KIND_FUNCTION, Types(ARG_TEXT, ARG_INT, ARG_INT), Args(3, 0), 6, "strsub"},
    {546, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_BOTH, ARG_INT), Args(3, 0), 10, "strsubwild"},
    {547, KIND_FUNCTION, Types(ARG_TEXT), Args(1, 0), 7, "strtrim"},
    {548, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 11, "strtypeinfo"},
    {549, KIND_FUNCTION, Types(ARG_TEXT_BOTH), Args(1, 0), 8, "strupper"},
    {550, KIND_STRUCTURE, 0, NoArgs(), 6, "switch"},
    {551, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_INT), Args(3, 0), 12, "sysparaminfo"},
    {552, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 3, "tan"},
    {553, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 4, "tanh"},
    {554, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT_BOTH, ARG_TEXT_BOTH), Args(3, 0), 9, "terminate"},
    {555, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT, ARG_INT), Args(3, 0), 12, "terminateapp"},
    {556, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_SYS), Args(2, 0), 7, "textbox"},
    {557, KIND_FUNCTION, Types(ARG_TEXT_BOTH, ARG_TEXT_SYS), Args(2, 0), 11, "textboxsort"},
    {558, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING), Args(3, 0), 10, "textselect"},
    {559, KIND_STRUCTURE, 0, NoArgs(), 4, "then"},
    {560, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 7, "timeadd"},
    {561, KIND_FUNCTION, 0, Args(0, 0), 8, "timedate"},
    {562, KIND_FUNCTION, Types(ARG_FLOAT), Args(1, 0), 9, "timedelay"},
    {563, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 8, "timediff"},
    {564, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 12, "timediffdays"},
    {565, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 12, "timediffsecs"},
    {566, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 13, "timejulianday"},
    {567, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "timejultoymd"},
    {568, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING), Args(2, 0), 12, "timesubtract"},
    {569, KIND_FUNCTION, Types(ARG_STRING), Args(1, 0), 8, "timewait"},
    {570, KIND_FUNCTION, 0, Args(0, 0), 10, "timeymdhms"},
    {571, KIND_STRUCTURE, 0, NoArgs(), 2, "to"},
    {572, KIND_FUNCTION, 0, Args(0, 0), 17, "uacelevationlevel"},
    {573, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 16, "uacexeprompttest"},
    {574, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 19, "uacmanifestsettings"},
    {575, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 21, "uacprotecteddirectory"},
    {576, KIND_SPECIAL_FORM, 0, NoArgs(), 7, "vartype"},
    {577, KIND_FUNCTION, 0, Args(0, 0), 7, "version"},
    {578, KIND_FUNCTION, 0, Args(0, 0), 10, "versiondll"},
    {579, KIND_FUNCTION, Types(ARG_STRING, ARG_STRING, ARG_STRING, ARG_STRING, ARG_STRING), Args(5, 0), 10, "waitforkey"},
    {580, KIND_FUNCTION, Types(ARG_STRING, ARG_INT), Args(2, 0), 12, "waitforkeyex"},
    {581, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 9, "wallpaper"},
    {582, KIND_STRUCTURE, 0, NoArgs(), 5, "while"},
    {583, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 11, "winactivate"},
    {584, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 13, "winactivchild"},
    {585, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 14, "winactivechild"},
    {586, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "winarrange"},
    {587, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "winclose"},
    {588, KIND_FUNCTION, 0, SelfParsed(), 11, "winclosenot"},
    {589, KIND_FUNCTION, 0, Args(0, 0), 9, "winconfig"},
    {590, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 11, "windowontop"},
    {591, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "winexename"},
    {592, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "winexist"},
    {593, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 13, "winexistchild"},
    {594, KIND_FUNCTION, 0, Args(0, 0), 12, "wingetactive"},
    {595, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_STRING, ARG_STRING), Args(3, 0), 7, "winhelp"},
    {596, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "winhide"},
    {597, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 10, "winiconize"},
    {598, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "winidget"},
    {599, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "winisdos"},
    {600, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 12, "winitemchild"},
    {601, KIND_FUNCTION, 0, Args(0, 0), 10, "winitemize"},
    {602, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT, ARG_INT, ARG_INT), Args(3, 1), 12, "winitemizeex"},
    {603, KIND_FUNCTION, 0, Args(0, 0), 13, "winitemnameid"},
    {604, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT), Args(3, 0), 13, "winitemprocid"},
    {605, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "winmetrics"},
    {606, KIND_FUNCTION, 0, Args(0, 0), 7, "winname"},
    {607, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "winparmget"},
    {608, KIND_FUNCTION, Types(ARG_INT, ARG_STRING, ARG_INT), Args(3, 0), 10, "winparmset"},
    {609, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_TEXT_SYS), Args(5, 0), 8, "winplace"},
    {610, KIND_FUNCTION, Types(ARG_INT, ARG_INT, ARG_INT, ARG_INT, ARG_TEXT_SYS, ARG_TEXT_SYS), Args(6, 0), 13, "winplacechild"},
    {611, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT_SYS), Args(2, 0), 11, "winplaceget"},
    {612, KIND_FUNCTION, Types(ARG_INT, ARG_TEXT_SYS, ARG_STRING), Args(2, 1), 11, "winplaceset"},
    {613, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 11, "winposition"},
    {614, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 16, "winpositionchild"},
    {615, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 12, "winresources"},
    {616, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "winshow"},
    {617, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 8, "winstate"},
    {618, KIND_FUNCTION, 0, Args(0, 0), 10, "winsysinfo"},
    {619, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS), Args(2, 0), 8, "wintitle"},
    {620, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 10, "winversion"},
    {621, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_TEXT_SYS, ARG_INT), Args(3, 0), 12, "winwaitchild"},
    {622, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 12, "winwaitclose"},
    {623, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 12, "winwaitexist"},
    {624, KIND_FUNCTION, Types(ARG_TEXT_SYS, ARG_INT), Args(2, 0), 12, "winwaitready"},
    {625, KIND_FUNCTION, Types(ARG_TEXT_SYS), Args(1, 0), 7, "winzoom"},
    {626, KIND_COMMAND, 0, NoArgs(), 5, "yield"},
    {627, KIND_FUNCTION, Types(ARG_INT), Args(1, 0), 6, "yields"},
    {628, KIND_OPERATOR, 0, NoArgs(), 1, "|"},
    {629, KIND_OPERATOR, 0, NoArgs(), 2, "||"},
    {630, KIND_UNARY_OPERATOR, 0, NoArgs(), 1, "~"},
};

namespace {

// ---- compile-time checks of the table

// A call of a non-constexpr function stops the constant evaluation below and
// with it the build; its name says what was wrong.
void TableRecordIsInconsistent() {}

constexpr bool IsLower(const FunctionTableEntry& e) {
  for (int i = 0; i < e.nameLen; ++i)
    if (e.name[i] >= 'A' && e.name[i] <= 'Z') return false;
  return true;
}

constexpr bool LengthMatches(const FunctionTableEntry& e) {
  if (e.nameLen == 0 || e.nameLen >= kFuncNameSize) return false;
  for (int i = 0; i < e.nameLen; ++i)
    if (e.name[i] == 0) return false;
  return e.name[e.nameLen] == 0;
}

// Byte order of two names (unsigned bytes, a prefix before the longer name).
constexpr bool Before(const FunctionTableEntry& a, const FunctionTableEntry& b) {
  for (int i = 0; i < a.nameLen && i < b.nameLen; ++i) {
    auto x = static_cast<unsigned char>(a.name[i]), y = static_cast<unsigned char>(b.name[i]);
    if (x != y) return x < y;
  }
  return a.nameLen < b.nameLen;
}

// A function's type word has no code beyond its declared arguments; other
// kinds carry no types and no counts.
constexpr bool SignatureFits(const FunctionTableEntry& e) {
  if (e.kind == KIND_CONSTANT) return e.argTypes == 0;
  const auto& c = e.args.counts;
  if (e.kind != KIND_FUNCTION) return e.argTypes == 0 && c.minArgs == 0 && c.optArgs == 0 && c.zero == 0;
  if (c.zero != 0) return false;
  if (c.minArgs == kSelfParsed) return c.optArgs == 0 && e.argTypes == 0;
  int total = c.minArgs + c.optArgs;
  if (total > kMaxArgs) return false;
  return total == kMaxArgs || (e.argTypes >> (4 * total)) == 0;
}

constexpr bool TableIsConsistent() {
  for (int i = 0; i < kKeyTokens; ++i) {
    const FunctionTableEntry& e = kBuiltinTable[i];
    bool ok = e.id == uint32_t(i) && LengthMatches(e) && IsLower(e) && SignatureFits(e) &&
              (i == 0 || Before(kBuiltinTable[i - 1], e));
    if (!ok) TableRecordIsInconsistent();
  }
  return true;
}
static_assert(TableIsConsistent(), "built-in table: ids, names, order and signatures");

constexpr bool NameIs(int id, const char* name) {
  const FunctionTableEntry& e = kBuiltinTable[id];
  int i = 0;
  for (; name[i] != 0; ++i)
    if (i >= e.nameLen || e.name[i] != name[i]) return false;
  return i == e.nameLen;
}

struct NamedId {
  int id;
  const char* name;
};
constexpr NamedId kNamedIds[] = {
    {kIdNot, "!"}, {kIdNotEqual, "!="}, {kIdAmpersand, "&"}, {kIdLogicalAnd, "&&"},
    {kIdOpenParen, "("}, {kIdCloseParen, ")"}, {kIdStar, "*"}, {kIdPower, "**"}, {kIdPlus, "+"},
    {kIdComma, ","}, {kIdMinus, "-"}, {kIdSlash, "/"}, {kIdConcat, ":"}, {kIdDoubleColon, "::"},
    {kIdLess, "<"}, {kIdShiftLeft, "<<"}, {kIdLessEqual, "<="}, {kIdLessGreater, "<>"},
    {kIdAssign, "="}, {kIdEqual, "=="}, {kIdGreater, ">"}, {kIdGreaterEqual, ">="},
    {kIdShiftRight, ">>"}, {kIdDdeServer, "?ddeserver"}, {kIdGetViaPointer, "?getviapointer"},
    {kIdMakePointer, "?makepointer"}, {kIdOleObject, "?oleobject"},
    {kIdSetViaPointer, "?setviapointer"}, {kIdOpenBracket, "["}, {kIdCloseBracket, "]"},
    {kIdXor, "^"}, {kIdAbout, "about"}, {kIdBeep, "beep"}, {kIdBreak, "break"}, {kIdBy, "by"},
    {kIdCall, "call"}, {kIdCase, "case"}, {kIdChrUnicodeToString, "chrunicodetostring"},
    {kIdClipAppend, "clipappend"}, {kIdContinue, "continue"}, {kIdDrop, "drop"}, {kIdElse, "else"},
    {kIdEnd, "end"}, {kIdEndFor, "endfor"}, {kIdEndIf, "endif"}, {kIdEndSelect, "endselect"},
    {kIdEndSwitch, "endswitch"}, {kIdEndWhile, "endwhile"}, {kIdExecute, "execute"},
    {kIdExit, "exit"}, {kIdFor, "for"}, {kIdForEach, "foreach"}, {kIdGosub, "gosub"},
    {kIdGoto, "goto"}, {kIdIf, "if"}, {kIdIgnoreInput, "ignoreinput"}, {kIdIniDelete, "inidelete"},
    {kIdIsDefined, "isdefined"}, {kIdMod, "mod"}, {kIdNext, "next"},
    {kIdObjectTypeGet, "objecttypeget"}, {kIdPtrGlobal, "ptrglobal"},
    {kIdPtrGlobalDefine, "ptrglobaldefine"}, {kIdPtrGlobalTest, "ptrglobaltest"},
    {kIdPtrPersistent, "ptrpersistent"}, {kIdReturn, "return"}, {kIdSelect, "select"},
    {kIdStrByteCount, "strbytecount"}, {kIdStrCat, "strcat"}, {kIdSwitch, "switch"},
    {kIdThen, "then"}, {kIdTo, "to"}, {kIdVarType, "vartype"}, {kIdWhile, "while"},
    {kIdYield, "yield"}, {kIdYields, "yields"}, {kIdBitOr, "|"}, {kIdLogicalOr, "||"},
    {kIdBitNot, "~"},
};

constexpr bool NamedIdsMatch() {
  for (const NamedId& n : kNamedIds)
    if (!NameIs(n.id, n.name)) TableRecordIsInconsistent();
  return true;
}
static_assert(NamedIdsMatch(), "each token ID constant names its record");

// ---- @constant values

constexpr double kFloatConstants[] = {
    3.141592653589793,   // @pi
    2.718281828459045,   // @e
    0.017453292519943,   // @deg2rad
    57.29577951308232,   // @rad2deg
    6.6256e-34,          // @planckjoules
    6.6252e-27,          // @planckergs
    32.174,              // @gftsec
    9.80665,             // @gmtsec
    1.66043e-27,         // @amc
    6.02252e+23,         // @avogadro
    1.38054e-23,         // @boltzmann
    8.8541853e-12,       // @electric
    0.5772156649015339,  // @eulers
    96487.0,             // @faraday
    1.618033988749895,   // @goldenratio
    6.67e-11,            // @gravitation
    299792500.0,         // @lightmtps
    1.256637,            // @magfield
    206.265,             // @parsec
    186272.0,            // @lightmps
};

struct ConstText {
  const char* text;
  uint32_t len;
};
constexpr ConstText kStringConstants[] = {{"\r\n", 2}, {"\t", 1}, {"\r", 1}, {"\n", 1}};

constexpr uint32_t kFloatConstantCount = sizeof kFloatConstants / sizeof kFloatConstants[0];
constexpr uint32_t kStringConstantCount = sizeof kStringConstants / sizeof kStringConstants[0];

// ---- the tables behind the ID ranges

// A user-defined function's parameter count and name come from its record.
uint8_t UdfParamCount(const ScriptContext* ctx, int index) {
  const UdfRecord* r = exec::DefinedUdf(ctx, index);
  return r ? static_cast<uint8_t>(r->paramCount) : 0;
}
const char* UdfName(const ScriptContext* ctx, int index, uint16_t* len) {
  const UdfRecord* r = exec::DefinedUdf(ctx, index);
  *len = r ? r->nameLen : 0;
  return r ? r->name : "";
}

// The record of any table-backed ID, or nullptr.
const FunctionTableEntry* RecordOf(const ScriptContext* ctx, int id) {
  if (id >= 0 && id < kKeyTokens) return &kBuiltinTable[id];
  if (id >= kHostIdBase && id <= kHostIdLast) return fn::HostRecord(ctx, id - kHostIdBase);
  if (id >= kExtIdBase && id <= kExtIdLast) return fn::ExtenderRecord(ctx, id - kExtIdBase);
  return nullptr;
}

bool IsUdfId(int id) { return id >= kUdfIdBase && id <= kUdfIdLast; }

}  // namespace

namespace fn {

const FunctionTableEntry* BuiltinRecord(int id) {
  return id >= 0 && id < kKeyTokens ? &kBuiltinTable[id] : nullptr;
}

const FunctionTableEntry* HostRecord(const ScriptContext* ctx, int index) {
  auto table = static_cast<const FunctionTableEntry*>(ctx->hostTable);
  if (!table || index < 0 || index >= kHostFunctions) return nullptr;
  for (int i = 0; i < index; ++i)  // the terminator may come first
    if (table[i].nameLen == 0) return nullptr;
  return table[index].nameLen != 0 ? &table[index] : nullptr;
}

// The extender function table arrives with extenders; until then it is empty.
const FunctionTableEntry* ExtenderRecord(const ScriptContext*, int) { return nullptr; }

uint32_t KindOf(const ScriptContext* ctx, int id) {
  if (IsUdfId(id)) return KIND_FUNCTION;
  const FunctionTableEntry* e = RecordOf(ctx, id);
  return e ? e->kind : KIND_NONE;
}

ArgCount ArgCounts(const ScriptContext* ctx, int id) {
  if (IsUdfId(id)) return {UdfParamCount(ctx, id - kUdfIdBase), 0};
  const FunctionTableEntry* e = RecordOf(ctx, id);
  return e ? ArgCount{e->args.counts.minArgs, e->args.counts.optArgs} : ArgCount{0, 0};
}

uint64_t ArgTypes(const ScriptContext* ctx, int id) {
  if (IsUdfId(id)) return kAllArgsAny;
  const FunctionTableEntry* e = RecordOf(ctx, id);
  return e ? e->argTypes : 0;
}

uint32_t ConstValue(const ScriptContext* ctx, int id) {
  const FunctionTableEntry* e = IsUdfId(id) ? nullptr : RecordOf(ctx, id);
  return e ? e->args.constValue : 0;
}

const char* NameOf(const ScriptContext* ctx, int id, uint16_t* len) {
  if (IsUdfId(id)) return UdfName(ctx, id - kUdfIdBase, len);
  const FunctionTableEntry* e = RecordOf(ctx, id);
  if (!e) {
    *len = 0;
    return "";
  }
  *len = e->nameLen < kFuncNameSize ? e->nameLen : kFuncNameSize;  // a host record may overstate it
  return e->name;
}

ConstantValue DecodeConstant(uint32_t constValue) {
  ConstantValue c{ConstForm::kInt, static_cast<int32_t>(constValue), 0.0, nullptr, 0};
  uint32_t index = constValue & kConstIndexMask;
  if ((constValue & kConstTagMask) == kConstFloatTag) {
    c.form = ConstForm::kFloat;
    c.real = index < kFloatConstantCount ? kFloatConstants[index] : 0.0;
  } else if ((constValue & kConstTagMask) == kConstStringTag) {
    c.form = ConstForm::kString;
    c.text = index < kStringConstantCount ? kStringConstants[index].text : "";
    c.textLen = index < kStringConstantCount ? kStringConstants[index].len : 0;
  }
  if (c.form != ConstForm::kInt) c.integer = 0;
  return c;
}

}  // namespace fn
}  // namespace zel
