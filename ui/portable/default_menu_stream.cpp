// The menu bar built into the program, for documents without a menu description of
// their own. Titles are stored as written; the attributes name the texts shown.
#include "ui/portable/menu_stream.h"

namespace menu_stream {

namespace {

#define W(v) uint8_t((v) & 0xff), uint8_t(((v) >> 8) & 0xff)
#define CMD(code) W(kItemCommandBit | (code))
#define SEP W(kItemSeparator)

// header: unused, A (pop-ups below the menu bar), B (command-state items to reserve);
// then the blocks: byte length of the rest, item count, two reserved words, the title
// with its pad byte, the attributes up to 0, the items (W(1) opens a nested block);
// then the end word A + B.
const uint8_t kDefaultStream[] = {
    W(0), W(11), W(145),
    // the menu bar
    W(540), W(7), W(0), W(0), 0, 0, W(0),
        W(1),
        // "File"
        W(44), W(14), W(0), W(0), 'F', 'i', 'l', 'e', 0, 0, W(1), W(0),
            CMD(22), CMD(16), SEP, CMD(17), CMD(18), CMD(89), SEP, CMD(94),
            SEP, CMD(95), CMD(96), CMD(97), SEP, CMD(15),
        W(1),
        // "Edit"
        W(98), W(20), W(0), W(0), 'E', 'd', 'i', 't', 0, 0, W(2), W(0),
            CMD(23), CMD(24), SEP, CMD(98), CMD(99), CMD(100), CMD(101), SEP,
            W(1),
            // "Action Buttons"
            W(40), W(7), W(0), W(0), 'A', 'c', 't', 'i', 'o', 'n', ' ', 'B', 'u', 't', 't', 'o', 'n', 's', 0, 0, W(9), W(0),
                CMD(49), CMD(50), CMD(51), CMD(90), SEP, CMD(52), CMD(53),
            SEP, CMD(46), CMD(47), CMD(48), SEP, CMD(25), CMD(107), SEP,
            CMD(75), SEP, CMD(74),
        W(1),
        // "Display"
        W(116), W(20), W(0), W(0), 'D', 'i', 's', 'p', 'l', 'a', 'y', 0, W(3), W(0),
            W(1),
            // "Line Width"
            W(28), W(3), W(0), W(0), 'L', 'i', 'n', 'e', ' ', 'W', 'i', 'd', 't', 'h', 0, 0, W(14), W(0),
                CMD(81), CMD(82), CMD(83),
            W(1),
            // "Color"
            W(26), W(3), W(0), W(0), 'C', 'o', 'l', 'o', 'r', 0, W(20), W(kColorPopupTag), W(0), W(0),
                SEP, CMD(91), CMD(106),
            CMD(87), SEP, CMD(20), CMD(21), SEP, CMD(67), SEP, CMD(27),
            CMD(65), SEP, CMD(26), CMD(28), CMD(29), CMD(66), SEP, CMD(108),
            CMD(92), CMD(76),
        W(1),
        // "Construct"
        W(58), W(19), W(0), W(0), 'C', 'o', 'n', 's', 't', 'r', 'u', 'c', 't', 0, W(4), W(0),
            CMD(0), CMD(1), CMD(2), SEP, CMD(3), CMD(64), CMD(63), CMD(4),
            CMD(5), CMD(6), SEP, CMD(7), CMD(8), CMD(102), CMD(103), SEP,
            CMD(9), SEP, CMD(19),
        W(1),
        // "Transform"
        W(46), W(13), W(0), W(0), 'T', 'r', 'a', 'n', 's', 'f', 'o', 'r', 'm', 0, W(5), W(0),
            CMD(68), CMD(69), CMD(70), CMD(71), CMD(73), CMD(72), SEP, CMD(10),
            CMD(11), CMD(12), CMD(13), SEP, CMD(105),
        W(1),
        // "Measure"
        W(56), W(19), W(0), W(0), 'M', 'e', 'a', 's', 'u', 'r', 'e', 0, W(6), W(0),
            CMD(32), CMD(33), CMD(34), CMD(35), CMD(36), CMD(37), CMD(38), CMD(39),
            CMD(41), CMD(42), SEP, CMD(43), SEP, CMD(44), CMD(77), CMD(78),
            CMD(109), CMD(110), CMD(45),
        W(1),
        // "Graph"
        W(84), W(19), W(0), W(0), 'G', 'r', 'a', 'p', 'h', 0, W(7), W(0),
            CMD(54), CMD(55), W(1),
            // "Graph Form"
            W(28), W(3), W(0), W(0), 'G', 'r', 'a', 'p', 'h', ' ', 'F', 'o', 'r', 'm', 0, 0, W(10), W(0),
                CMD(60), CMD(61), CMD(62),
            SEP, CMD(56), CMD(57), SEP, CMD(58), SEP, CMD(111), SEP,
            CMD(93), CMD(59), SEP, CMD(104), SEP, CMD(112), CMD(113), CMD(114),
    W(156),
};
static_assert(sizeof kDefaultStream == 550);

#undef SEP
#undef CMD
#undef W

}  // namespace

const uint8_t* DefaultMenuStreamBytes(size_t* length) {
    *length = sizeof kDefaultStream;
    return kDefaultStream;
}

}  // namespace menu_stream
