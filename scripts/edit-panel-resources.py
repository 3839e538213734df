#!/usr/bin/env python3
"""Writes the edit panels' skin and string entries between the
"edit panels: begin/end" markers of Resources/Xml/APP_SKINS.xml and
APP_STRINGS.xml, their small pictures to Resources/Images and the type enums
of their type lists to UI/EditPanels/EditPanelTypes.h. The panels
repeat the same few widgets many times; this keeps their geometry, looks and
texts in one readable place. Run it after a change and commit what it wrote.
With --out DIR it leaves the tree alone and writes the results to DIR instead
(the build's check that they match)."""
import argparse
import math
import pathlib
import re
import struct
import zlib
from xml.sax.saxutils import escape

ROOT = pathlib.Path(__file__).resolve().parent.parent
ROW = 22    # height of one field
STEP = 26   # from one field row to the next
PAD = 8
LABEL_W = 78  # the label column of the controller, button and foot switch panels

# ---------------------------------------------------------------- looks
COLOURS = {
    "edPanelFill": "0xFFFFFFFF", "edBorder": "0xFFC8CED6", "edText": "0xFF202020",
    "edTitleText": "0xFF1E3A5F", "edFieldFill": "0xFFF7F9FB", "edButtonFill": "0xFFDDE3EA",
    "edButtonHot": "0xFFC9D3DE", "edButtonPressed": "0xFFB2C0CF", "edAccent": "0xFF2F6DB5",
    "edAccentHot": "0xFF255A97", "edAccentLight": "0xFFD6E4F5", "edTextOnAccent": "0xFFFFFFFF",
    "edDimText": "0xFF8A8F98", "edDimFill": "0xFFEEF0F3", "edFocus": "0xFF1E3A5F", "edClear": "0x00FFFFFF",
    "edThumb": "0xFFB4BEC9",
}


def frame(part, width=1):
    """Four edges of one colour, drawn over the fill."""
    return (f'<NonClientPart Name="{part}" OffsetLeft="0" OffsetTop="0" OffsetRight="0" Height="{width}"/>'
            f'<NonClientPart Name="{part}" OffsetLeft="0" OffsetBottom="0" OffsetRight="0" Height="{width}"/>'
            f'<NonClientPart Name="{part}" OffsetLeft="0" OffsetTop="0" OffsetBottom="0" Width="{width}"/>'
            f'<NonClientPart Name="{part}" OffsetRight="0" OffsetTop="0" OffsetBottom="0" Width="{width}"/>')


BORDER = frame("edBorder")
# Our own pictures (Resources/Images), drawn centred unless an edge offset is given.
IMAGES = {"edCheckMark": "ed_check.png", "edArrowUp": "ed_arrow_up.png", "edArrowDown": "ed_arrow_down.png",
          "edArrowDrop": "ed_arrow_drop.png"}


def text_props(fg, align="0", margin=4, right=None):
    right = margin if right is None else right
    return (f'<TextProperties TextLeftRel="0" TextLeftAbs="{margin}" TextRightRel="1" TextRightAbs="-{right}" '
            f'TextHAlign="{align}" TextTopRel="0" TextTopAbs="0" TextBottomRel="1" TextBottomAbs="0" '
            f'TextVAlign="0.5" TextForegroundPart="{fg}"/>')


def look(name, fill, fg="edText", align="0", border=False, inset=0, edge="edBorder", over="", right=None, margin=4):
    client = (f'<ClientPart Name="{fill}" OffsetLeft="{inset}" OffsetTop="{inset}" '
              f'OffsetRight="-{inset}" OffsetBottom="-{inset}"/>')
    edges = frame(edge) if border else ""
    return f'<Look Name="{name}">{client}{edges}{over}{text_props(fg, align, margin, right)}</Look>'


def centred(part):
    return f'<NonClientPart Name="{part}"/>'


DROP_ARROW = '<NonClientPart Name="edArrowDrop" OffsetRight="-6"/>'
FOCUS_RING = frame("edFocus", 2)
LOOKS = [
    look("edPanel", "edPanelFill", border=True, inset=1),
    look("edLabel", "edClear", margin=2),
    look("edTitle", "edClear", fg="edTitleText"),
    look("edField", "edFieldFill", border=True, inset=1),
    look("edFieldHot", "edFieldFill", border=True, inset=1, edge="edThumb"),
    look("edFieldFocus", "edPanelFill", border=True, inset=1, edge="edAccent"),
    look("edFieldOff", "edDimFill", fg="edDimText", border=True, inset=1),
    look("edButton", "edButtonFill", align="0.5"),
    look("edButtonHot", "edButtonHot", align="0.5"),
    look("edButtonOn", "edAccent", fg="edTextOnAccent", align="0.5"),
    look("edRow", "edFieldFill"),
    look("edRowHot", "edAccentLight"),
    look("edRowChosen", "edAccent", fg="edTextOnAccent"),
    look("edRowOff", "edFieldFill", fg="edDimText"),
    look("edThumb", "edThumb"),
    look("edThumbHot", "edButtonPressed"),
    look("edTrack", "edDimFill"),
]
# A combo box: its text stops short of the drop-down arrow.
for name, fill, edge, fg in [("edCombo", "edFieldFill", "edBorder", "edText"),
                             ("edComboHot", "edFieldFill", "edThumb", "edText"),
                             ("edComboFocus", "edPanelFill", "edAccent", "edText"),
                             ("edComboOff", "edDimFill", "edBorder", "edDimText")]:
    LOOKS.append(look(name, fill, fg=fg, border=True, inset=1, edge=edge, over=DROP_ARROW, right=20))
# Step buttons: their arrow over the plain, hot and pressed fills.
for arrow in ("Up", "Down"):
    for state, fill in [("", "edButtonFill"), ("Hot", "edButtonHot"), ("Pressed", "edButtonPressed"),
                        ("Off", "edDimFill")]:
        LOOKS.append(look(f"edStep{arrow}{state}", fill, over=centred(f"edArrow{arrow}")))
# The on/off box: empty when off, the accent with a check mark when on; the
# focus shows as a dark ring.
for state, fill in [("", "edButtonFill"), ("Hot", "edButtonHot"), ("Pressed", "edButtonPressed"),
                    ("Off", "edDimFill")]:
    LOOKS.append(look(f"edToggle{state}", fill, border=True, inset=1))
    LOOKS.append(look(f"edToggle{state}Focus", fill, over=FOCUS_RING))
for state, fill in [("", "edAccent"), ("Hot", "edAccentHot"), ("Pressed", "edAccentHot"), ("Off", "edThumb")]:
    LOOKS.append(look(f"edToggleOn{state}", fill, over=centred("edCheckMark")))
    LOOKS.append(look(f"edToggleOn{state}Focus", fill, over=centred("edCheckMark") + FOCUS_RING))


def button_looks(base, focus=""):
    """A button's 7 parts: normal, hot, pressed, the same focused, disabled (LButton::Part)."""
    plain = [base, base + "Hot", base + "Pressed"]
    return plain + [p + focus for p in plain] + [base + "Off"]


LOOK_LISTS = {
    "edPanel": ["edPanel"], "edGroup": ["edLabel"], "edLabel": ["edLabel"], "edTitle": ["edTitle"],
    "edField": ["edField"],
    # Text box: normal, hot, with a cue label, focused, focused hot, (unused), disabled.
    "edTextBox": ["edField", "edFieldHot", "edField", "edFieldFocus", "edFieldFocus", "edFieldFocus", "edFieldOff"],
    # Combo box: normal, focused, hot, hot focused, open, open hot, disabled.
    "edCombo": ["edCombo", "edComboFocus", "edComboHot", "edComboFocus", "edComboFocus", "edComboFocus",
                "edComboOff"],
    "edStepUp": button_looks("edStepUp") * 2,
    "edStepDown": button_looks("edStepDown") * 2,
    "edToggle": button_looks("edToggle", "Focus") + button_looks("edToggleOn", "Focus"),
    # List row: plain, hot, pressed; marked alike; disabled; then chosen (selected) alike.
    "edRow": ["edRow", "edRowHot", "edRowHot", "edRow", "edRowHot", "edRowHot", "edRowOff"] + ["edRowChosen"] * 7,
    # A scroll bar's thumb is a button without a checked state.
    "edThumb": ["edThumb", "edThumbHot", "edThumbHot", "edThumb", "edThumbHot", "edThumbHot", "edThumb"],
    # The scroll bar and its channel; the channel has no pressed look to page with.
    "edTrack": ["edTrack"],
}


def plus(states, offset):
    return [f"{s} + {offset}" for s in states]


# What each index of a list means to the control that shows it: the names its
# header publishes, written beside the indices so a skin author can read them.
_BUTTON = ["kNormal", "kHover", "kPressed"] + plus(["kNormal", "kHover", "kPressed"], "kFocusedOffset") + ["kDisabled"]
_ROW = ["kNormal", "kHover", "kPressed"] + plus(["kNormal", "kHover", "kPressed"], "kMarkedOffset") + ["kDisabled"]
LOOK_PARTS = {
    "edTextBox": ("LTextBox", ["kNormal", "kHot", "kLabelBackground", "kFocused", "kHot + kFocused", "(unused)",
                               "kDisabled"]),
    "edCombo": ("LComboBox", ["kNormal", "kFocused", "kHover", "kHover + kFocused", "kOpen", "kOpenHover",
                              "kDisabled"]),
    "edStepUp": ("LButton", _BUTTON + plus(_BUTTON, "kCheckedOffset")),
    "edStepDown": ("LButton", _BUTTON + plus(_BUTTON, "kCheckedOffset")),
    "edToggle": ("LButton", _BUTTON + plus(_BUTTON, "kCheckedOffset")),
    "edRow": ("LListBoxItem", _ROW + plus(_ROW[:-1], "kSelectedOffset") + ["kDisabled + kSelectedOffset, kSeparator"]),
    "edThumb": ("LButton", _BUTTON),
    "edTrack": ("LScrollbar", ["kChannelNormal"]),
}
assert all(len(names) == len(LOOK_LISTS[n]) for n, (_, names) in LOOK_PARTS.items())


def look_list(name, looks, depth=2):
    """One line; a look a line with its part's name when the list has names."""
    head = f'<LookList Name="{name}" NumLooks="{len(looks)}">'
    entries = [f'<Look Name="{look}" Index="{i}"/>' for i, look in enumerate(looks)]
    if name not in LOOK_PARTS:
        return head + "".join(entries) + "</LookList>"
    cls, parts = LOOK_PARTS[name]
    inner = "\n" + "  " * (depth + 1)
    return (f"{head} <!-- {cls}::Part -->" + "".join(f"{inner}{e} <!-- {part} -->" for e, part in zip(entries, parts))
            + "\n" + "  " * depth + "</LookList>")

# ---------------------------------------------------------------- controls


def node(cls, name, x, y, w, h, looks=None, children=(), params=None, visible=True, clip=True):
    attrs = (f'Class="{cls}" Name="{name}" XPositionAbs="{x}" YPositionAbs="{y}" '
             f'XSizeToControl="Self" XSizeAbs="{w}" YSizeToControl="Self" YSizeAbs="{h}"')
    if not visible:
        attrs += ' IsVisible="False"'
    # A drop-down list hangs below its combo box, outside the box's own area.
    if not clip:
        attrs += ' ClipToParent="False"'
    # A control without a look draws no children: groups get a clear one.
    inner = f'<Skin Name="{name}" LookList="{looks or "edGroup"}"/>'
    if params:
        inner += "<CreateParamList>" + "".join(
            f'<CreateParam ID="{k}" Type="Boolean">{v}</CreateParam>' for k, v in params.items()) + "</CreateParamList>"
    kids = list(children)
    return {"open": f"<SubControl {attrs}>{inner}", "children": kids}


def label(name, x, y, w, h=ROW, looks="edLabel"):
    return node("Framework.Label", name, x, y, w, h, looks)


def updown(x, y, w, name="numericUpDown"):
    b = 14
    return node("Framework.NumericUpDown", name, x, y, w, ROW, None, [
        node("Framework.TextBox", "textBox", 0, 0, w - b, ROW, "edTextBox"),
        step_button("buttonUp", w - b, 0, b, ROW // 2, "edStepUp"),
        step_button("buttonDown", w - b, ROW // 2, b, ROW - ROW // 2, "edStepDown"),
    ])


def step_button(name, x, y, w, h, looks):
    """The field's own keys step it: its buttons take no focus of their own."""
    button = node("Framework.Button", name, x, y, w, h, looks)
    button["open"] = button["open"].replace(" Name=", ' TabStop="-1" Name=', 1)
    return button


BAR = 10  # a list's scroll bar


def scroll_bar(h):
    """A list's vertical bar: it stays at the list's right edge while the rows scroll."""
    attrs = ('Class="Framework.ScrollBar" Name="vBar" XPositionToControl="Client" XPositionRel="1" '
             f'XPlacementAnchor="1" XSizeToControl="Self" XSizeAbs="{BAR}" YPositionAbs="1" '
             'YSizeToControl="Client" YSizeRel="1" XIsDocked="True" YIsDocked="True" Z_Order="1"')
    inner = '<Skin Name="vBar" LookList="edTrack"/>'
    channel = node("Framework.Label", "channel", 0, 0, BAR, h, "edTrack",
                   [node("Framework.Button", "thumb", 0, 0, BAR, 20, "edThumb")])
    channel["open"] = channel["open"].replace('YSizeToControl="Self" YSizeAbs="%d"' % h,
                                              'YSizeToControl="Parent" YSizeRel="1"')
    return {"open": f"<SubControl {attrs}>{inner}", "children": [channel]}


def combo(x, y, w, rows, name="comboBox"):
    h = min(rows, 12) * 18 + 2
    return node("Framework.ComboBox", name, x, y, w, ROW, "edCombo", [
        node("Framework.ListBox", "listBox", 0, ROW, w, h, "edField", [
            node("Framework.ListBoxItem", "templateItem", 0, 0, w - 2, 18, "edRow"),
            scroll_bar(h - 2),
        ], visible=False, clip=False),
    ])


def labeled(cls, name, x, y, w, label_w, control, label_name="controlNameLabel"):
    return node(cls, name, x, y, w, ROW, None, [label(label_name, 0, 0, label_w), control])


def labeled_updown(cls, name, x, y, w, label_w=LABEL_W):
    return labeled(cls, name, x, y, w, label_w, updown(label_w, 0, min(72, w - label_w)))


def labeled_combo(cls, name, x, y, w, rows, label_w=LABEL_W):
    return labeled(cls, name, x, y, w, label_w, combo(label_w, 0, w - label_w, rows))


def note_selector(cls, x, y, w, name="noteSelector"):
    return node(cls, name, x, y, w, ROW, None, [
        updown(0, 0, 54),
        label("noteNameLabel", 56, 0, 32),
        label("octaveNameLabel", 88, 0, w - 88),
    ])


def cc_group(x, y, w, label_w=LABEL_W):
    return node("ZiroruVovizu.Control.LabeledCCSelector", "cc", x, y, w, ROW, None, [
        label("controlNameLabel", 0, 0, label_w),
        node("ZiroruVovizu.Control.CCSelector", "ccSelector", label_w, 0, w - label_w, ROW, None, [
            updown(0, 0, 46), label("textLabel", 48, 0, w - label_w - 48)]),
    ])


def min_max(x, y, w):
    return node("ZiroruVovizu.Control.MinMaxSelectors", "minMax", x, y, w, ROW + STEP, None, [
        labeled_updown("ZiroruVovizu.Control.LabeledMinSelector", "min", 0, 0, w),
        labeled_updown("ZiroruVovizu.Control.LabeledMaxSelector", "max", 0, STEP, w),
    ])


def title(x, y, w, name="controlNameLabel"):
    return label(name, x, y, w, ROW, "edTitle")


def rows(n):
    return PAD + 4 + ROW + STEP * n


# ---------------------------------------------------------------- panels
W = 242          # a column
GAP = 6
COL = [PAD + i * (W + GAP) for i in range(4)]
FW = W - 2 * PAD  # a field row inside a column


def global_channel(x, y, w):
    return node("ZiroruVovizu.GlobalChannel", "globalChannel", x, y, w, ROW + 2 * PAD, "edPanel", [
        labeled_combo("ZiroruVovizu.Control.LabeledGlobalChannelMidiChannel", "midiChannel", PAD, PAD,
                      w - 2 * PAD, 16, 166),
    ])


def keybed(x, y, w):
    return node("ZiroruVovizu.KeybedEditPanel", "keybedEditPanel", x, y, w, ROW + 2 * PAD, "edPanel", [
        title(PAD, PAD, 80, "keybedLabel"),
        labeled("ZiroruVovizu.Control.LabeledVelocityCurveSelector", "velocityCurve", 90, PAD, 244, 124,
                combo(124, 0, 120, 7), label_name="label"),
        labeled_updown("ZiroruVovizu.Control.LabeledOctaveSelector", "octave", 350, PAD, 146, 74),
        labeled_updown("ZiroruVovizu.Control.LabeledTransposeSelector", "transpose", 510, PAD, 166, 94),
    ])


def zone(i, x, y):
    sel = "ZiroruVovizu.Control.LabeledKeyZoneNoteSelector"
    return node("ZiroruVovizu.ZoneEditPanel", f"zone{i}", x, y, W, rows(5), "edPanel", [
        node("Framework.Button", "zoneEnabledButton", PAD, PAD, ROW, ROW, "edToggle",
             params={"AUTO_VALUE_SET": "true"}),
        title(PAD + ROW + 6, PAD, 140, "zoneNameLabel"),
        labeled_combo("ZiroruVovizu.Control.LabeledKeyZoneMidiChannelSelector", "midiChannel",
                      PAD, PAD + STEP, FW, 17, 92),
        labeled_updown("ZiroruVovizu.Control.LabeledOctaveSelector", "octave", PAD, PAD + 2 * STEP, FW, 92),
        labeled_updown("ZiroruVovizu.Control.LabeledTransposeSelector", "transpose", PAD, PAD + 3 * STEP, FW, 92),
        node("ZiroruVovizu.Control.KeyZoneStartEndNoteSelector", "keyZoneStartEndNoteSelector",
             PAD, PAD + 4 * STEP, FW, ROW + STEP, None, [
                 labeled(sel, "startNote", 0, 0, FW, 92,
                         note_selector("ZiroruVovizu.Control.ZoneNoteSelector", 92, 0, FW - 92)),
                 labeled(sel, "endNote", 0, STEP, FW, 92,
                         note_selector("ZiroruVovizu.Control.ZoneNoteSelector", 92, 0, FW - 92)),
             ]),
    ])


def channel(y, w=FW):
    return labeled_combo("ZiroruVovizu.Control.LabeledMidiChannelSelector", "midiChannel", PAD, y, w, 18)


def absolute_controller(name, x, y):
    return node("ZiroruVovizu.FaderEditPanel", name, x, y, W, rows(5), "edPanel", [
        title(PAD, PAD, FW),
        channel(PAD + STEP),
        labeled_combo("ZiroruVovizu.Control.LabeledAbsoluteType", "type", PAD, PAD + 2 * STEP, FW, 3),
        cc_group(PAD, PAD + 3 * STEP, FW),
        min_max(PAD, PAD + 4 * STEP, FW),
    ])


def pitch_wheel(x, y):
    return node("ZiroruVovizu.WheelsPanel.PitchWheel", "pitchWheel", x, y, W, rows(3), "edPanel", [
        title(PAD, PAD, FW),
        channel(PAD + STEP),
        min_max(PAD, PAD + 2 * STEP, FW),
    ])


def number(cls, name, y, w=FW):
    return labeled_updown(f"ZiroruVovizu.Control.{cls}", name, PAD, y, w)


def hardware_button(name, x, y, w):
    fw = w - 2 * PAD
    r = [PAD + ROW + 4 + STEP * k for k in range(5)]
    return node("ZiroruVovizu.HardwareButtons.HardwareButton", name, x, y, w, rows(5), "edField", [
        title(PAD, PAD, fw),
        channel(r[0], fw),
        number("LabeledMmcDeviceIdSelector", "mmcDeviceId", r[0], fw),
        number("LabeledProgramSelector", "program", r[1], fw),
        cc_group(PAD, r[1], fw),
        number("LabeledBankMsbSelector", "bankMsb", r[2], fw),
        node("ZiroruVovizu.Control.MinMaxSelectors", "minMax", PAD, r[2], fw, ROW + STEP, None, [
            labeled_updown("ZiroruVovizu.Control.LabeledMinSelector", "min", 0, 0, fw),
            labeled_updown("ZiroruVovizu.Control.LabeledMaxSelector", "max", 0, STEP, fw),
        ]),
        number("LabeledBankLsbSelector", "bankLsb", r[3], fw),
        number("LabeledProgramMaxSelector", "programMax", r[4], fw),
    ])


def hardware_buttons(x, y, w):
    bw = (w - 3 * PAD) // 2
    return node("ZiroruVovizu.HardwareButtons", "hardwareButtons", x, y, w, rows(1) + rows(5) + 4 + PAD, "edPanel", [
        title(PAD, PAD, 200),
        labeled_combo("ZiroruVovizu.Control.LabeledHardwareButtonType", "type", PAD, PAD + STEP, w - 2 * PAD, 8),
        hardware_button("button1", PAD, rows(1) + 4, bw),
        hardware_button("button2", 2 * PAD + bw, rows(1) + 4, bw),
    ])


def foot_switch(name, x, y):
    r = [PAD + STEP * (k + 2) for k in range(5)]
    return node("ZiroruVovizu.FootSwitch", name, x, y, W, rows(6), "edPanel", [
        title(PAD, PAD, FW),
        labeled_combo("ZiroruVovizu.Control.LabeledFootSwitchType", "type", PAD, PAD + STEP, FW, 11),
        channel(r[0]),
        number("LabeledMmcDeviceIdSelector", "mmcDeviceId", r[0]),
        labeled("ZiroruVovizu.Control.LabeledNoteSelector", "note", PAD, r[1], FW, LABEL_W,
                note_selector("ZiroruVovizu.MidiNoteSelector", LABEL_W, 0, FW - LABEL_W)),
        number("LabeledProgramSelector", "program", r[1]),
        cc_group(PAD, r[1], FW),
        labeled_combo("ZiroruVovizu.Control.LabeledMmcCommandSelector", "mmcCommand", PAD, r[1], FW, 2),
        number("LabeledVelocityOnSelector", "velocityOn", r[2]),
        number("LabeledBankMsbSelector", "bankMsb", r[2]),
        min_max(PAD, r[2], FW),
        number("LabeledVelocityOffSelector", "velocityOff", r[3]),
        number("LabeledBankLsbSelector", "bankLsb", r[3]),
        number("LabeledProgramMaxSelector", "programMax", r[4]),
    ])


# The panels share the view's width: a column is a quarter of it less its
# share of the paddings and gaps, so a wider window widens every column. A
# size relative to the parent names where the right edge goes.
SHARE = (2 * PAD + 3 * GAP) / 4


def anchor(n, x_rel, x_abs, right_rel, right_abs):
    n["open"] = re.sub(r'XPositionAbs="-?\d+"', f'XPositionToControl="Parent" XPositionRel="{x_rel:g}" '
                       f'XPositionAbs="{math.floor(x_abs)}"', n["open"], count=1)
    n["open"] = re.sub(r'XSizeToControl="Self" XSizeAbs="-?\d+"', f'XSizeToControl="Parent" XSizeRel="{right_rel:g}" '
                       f'XSizeAbs="{math.floor(right_abs)}"', n["open"], count=1)
    return n


def in_columns(n, col, span=1):
    last = col + span - 1
    return anchor(n, col / 4, PAD + col * (GAP - SHARE), (last + 1) / 4, PAD + last * GAP - (last + 1) * SHARE)


def panels():
    y0 = PAD
    y1 = y0 + ROW + 2 * PAD + GAP
    y2 = y1 + rows(5) + GAP
    y3 = y2 + rows(5) + GAP
    buttons = in_columns(hardware_buttons(COL[0], y3, 2 * W + GAP), 0, 2)
    # The two buttons share their panel's width.
    anchor(buttons["children"][2], 0, PAD, 0.5, -PAD / 2)
    anchor(buttons["children"][3], 0.5, PAD / 2, 1, -PAD)
    return [
        global_channel(COL[0], y0, 300),
        anchor(keybed(COL[0] + 300 + GAP, y0, 4 * W + 3 * GAP - 300 - GAP), 0, PAD + 300 + GAP, 1, -PAD),
        *[in_columns(zone(i + 1, COL[i], y1), i) for i in range(4)],
        in_columns(absolute_controller("modWheel", COL[0], y2), 0),
        in_columns(pitch_wheel(COL[1], y2), 1),
        in_columns(absolute_controller("fader", COL[2], y2), 2),
        in_columns(absolute_controller("expressionPedal", COL[3], y2), 3),
        buttons,
        in_columns(foot_switch("footSwitch1", COL[2], y3), 2),
        in_columns(foot_switch("footSwitch2", COL[3], y3), 3),
    ]


# The smallest view that shows every panel whole; with the menu bar and the
# status bar around the view it is the main control's minimum size.
MENU_AND_STATUS = 26 + 24


def panels_extent():
    y3 = PAD + ROW + 2 * PAD + GAP + 2 * (rows(5) + GAP)
    return COL[3] + W + PAD, y3 + rows(1) + rows(5) + 4 + PAD + PAD


def render(n, depth):
    pad = "  " * depth
    if not n["children"]:
        return f"{pad}{n['open']}</SubControl>\n"
    out = f"{pad}{n['open']}\n"
    for c in n["children"]:
        out += render(c, depth + 1)
    return out + f"{pad}</SubControl>\n"


# ---------------------------------------------------------------- strings
NOTES = ["C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"]
CHANNELS = [f"CHANNEL {n}" for n in range(1, 17)]


def items(texts, **named):
    """ITEM.nn entries in selection order, then named ones."""
    return {**dict(enumerate(texts)), **named}


NOTE_LABELS = {"noteNameLabel": items(NOTES, LABEL="%s"),
               "octaveNameLabel": items([f"({i})" for i in range(11)], LABEL="(%d)")}
CC_NAMES = {1: "MOD WHEEL", 2: "BREATH", 4: "FOOT", 7: "VOLUME",
            8: "BALANCE", 10: "PAN", 11: "EXPRESSION", 64: "SUSTAIN", 65: "PORTA", 66: "SOSTENUTO",
            67: "SOFT PEDAL", 71: "RESONANCE", 74: "CUTOFF", 91: "REVERB", 93: "CHORUS"}
# The type lists: an item's place is the type's byte, and the panels' code
# names each type by its enum (see type_header).
HARDWARE_BUTTON_TYPES = ["OCTAVE", "PROGRAM", "PROGRAM LATCH", "PROGRAM INC/DEC", "CC ABSOLUTE", "CC LATCH",
                         "CC INC/DEC", "MMC"]
FOOT_SWITCH_TYPES = ["NOTE", "NOTE LATCH", "PROGRAM", "PROGRAM LATCH", "PROGRAM INC", "PROGRAM DEC",
                     "CC ABSOLUTE", "CC LATCH", "CC INC", "CC DEC", "MMC"]
C = "ZiroruVovizu.Control."
TABLES = {
    C + "LabeledKeyZoneMidiChannelSelector|comboBox":
        items(["Global"] + [f"Channel {i}" for i in range(1, 17)], TOOLTIP="MIDI channel of the zone"),
    C + "LabeledKeyZoneMidiChannelSelector|controlNameLabel": {"LABEL": "CHAN"},
    C + "LabeledOctaveSelector|controlNameLabel": {"LABEL": "OCTAVE"},
    C + "LabeledTransposeSelector|controlNameLabel": {"LABEL": "TRANSPOSE"},
    C + "LabeledKeyZoneNoteSelector|controlNameLabel": {"START_NOTE_LABEL": "FIRST", "END_NOTE_LABEL": "LAST"},
    C + "ZoneNoteSelector|noteNameLabel": NOTE_LABELS["noteNameLabel"],
    C + "ZoneNoteSelector|octaveNameLabel": NOTE_LABELS["octaveNameLabel"],
    "ZiroruVovizu.MidiNoteSelector|noteNameLabel": NOTE_LABELS["noteNameLabel"],
    "ZiroruVovizu.MidiNoteSelector|octaveNameLabel": NOTE_LABELS["octaveNameLabel"],
    "ZiroruVovizu.ZoneEditPanel|zoneNameLabel":
        {"LABEL": "ZONE %d", **{f"LABEL_ZONE_{i}": f"ZONE {i}" for i in range(1, 5)}},
    "ZiroruVovizu.ZoneEditPanel|zoneEnabledButton": {"TOOLTIP": "Zone on or off"},
    C + "LabeledVelocityCurveSelector|comboBox":
        items(["HARD", "SOFT 1", "SOFT 2", "LINEAR", "FIXED: 64", "FIXED: 100", "FIXED: 127"],
             TOOLTIP="How hard playing maps to velocity"),
    C + "LabeledVelocityCurveSelector|label": {"LABEL": "VELOCITY CURVE"},
    "ZiroruVovizu.KeybedEditPanel|keybedLabel": {"LABEL": "KEYBED"},
    C + "LabeledGlobalChannelMidiChannel|controlNameLabel": {"LABEL": "GLOBAL MIDI CHANNEL"},
    C + "LabeledGlobalChannelMidiChannel|comboBox": items(CHANNELS),
    C + "LabeledMidiChannelSelector|comboBox": items(["GLOBAL"] + CHANNELS + ["OMNI"]),
    C + "LabeledMidiChannelSelector|controlNameLabel": {"LABEL": "CHAN"},
    C + "LabeledAbsoluteType|comboBox": items(["CC", "AFTERTOUCH", "PITCH BEND"]),
    C + "LabeledAbsoluteType|controlNameLabel": {"LABEL": "TYPE"},
    C + "LabeledCCSelector|controlNameLabel": {"LABEL": "CC"},
    C + "CCSelector|textLabel": CC_NAMES,
    C + "LabeledMinSelector|controlNameLabel": {"LABEL": "MIN"},
    C + "LabeledMaxSelector|controlNameLabel": {"LABEL": "MAX"},
    "ZiroruVovizu.FaderEditPanel|controlNameLabel":
        {"LABEL": "FADER", "LABEL_FADER": "FADER", "LABEL_EXPRESSION": "EXPRESSION PEDAL",
         "LABEL_MOD_WHEEL": "MOD WHEEL"},
    "ZiroruVovizu.WheelsPanel.PitchWheel|controlNameLabel": {"LABEL": "PITCH WHEEL"},
    "ZiroruVovizu.HardwareButtons|controlNameLabel": {"LABEL": "HARDWARE BUTTONS"},
    C + "LabeledHardwareButtonType|comboBox":
        items(HARDWARE_BUTTON_TYPES, TOOLTIP="What the two buttons do"),
    C + "LabeledHardwareButtonType|controlNameLabel": {"LABEL": "TYPE"},
    "ZiroruVovizu.HardwareButtons.HardwareButton|controlNameLabel":
        items(["OCTAVE -", "OCTAVE +", "PROGRAM 1", "PROGRAM 2", "PROGRAM LATCH 1", "PROGRAM LATCH 2",
                        "PROGRAM -", "PROGRAM +", "CC 1", "CC 2", "CC LATCH 1", "CC LATCH 2", "CC -", "CC +",
                        "MMC STOP", "MMC PLAY"]),
    C + "LabeledMmcDeviceIdSelector|controlNameLabel": {"LABEL": "DEVICE ID"},
    C + "LabeledProgramSelector|controlNameLabel": {"LABEL": "PROGRAM"},
    C + "LabeledProgramMaxSelector|controlNameLabel": {"LABEL": "LIMIT"},
    C + "LabeledBankMsbSelector|controlNameLabel": {"LABEL": "BANK MSB"},
    C + "LabeledBankLsbSelector|controlNameLabel": {"LABEL": "BANK LSB"},
    "ZiroruVovizu.FootSwitch|controlNameLabel":
        {"LABEL_FOOT_SWITCH_1": "FOOT SWITCH 1", "LABEL_FOOT_SWITCH_2": "FOOT SWITCH 2"},
    C + "LabeledFootSwitchType|comboBox":
        items(FOOT_SWITCH_TYPES, TOOLTIP="What the switch sends"),
    C + "LabeledFootSwitchType|controlNameLabel": {"LABEL": "TYPE"},
    C + "LabeledNoteSelector|controlNameLabel": {"LABEL": "NOTE"},
    C + "LabeledVelocityOnSelector|controlNameLabel": {"LABEL": "VEL ON"},
    C + "LabeledVelocityOffSelector|controlNameLabel": {"LABEL": "VEL OFF"},
    C + "LabeledMmcCommandSelector|comboBox": items(["STOP", "PLAY"]),
    C + "LabeledMmcCommandSelector|controlNameLabel": {"LABEL": "COMMAND"},
}


def string_tables():
    out = "  </StringTable>\n"
    for table, entries in TABLES.items():
        out += f'  <StringTable ID="{table}">\n'
        for key, text in entries.items():
            sid = f"ITEM.{key:02d}" if isinstance(key, int) else key
            out += f'    <String ID="{sid}"><Locale LCID="0x0009">{escape(text)}</Locale></String>\n'
        out += "  </StringTable>\n"
    # The document's own table goes on after the markers.
    return out + '  <StringTable ID="|ZiroruVovizu">\n'



# ---------------------------------------------------------------- type enums
ACRONYMS = {"CC", "MMC"}


def enumerator(text):
    """"PROGRAM INC/DEC" -> kProgramIncDec, "CC LATCH" -> kCCLatch."""
    words = re.split(r"[ /]+", text)
    return "k" + "".join(w if w in ACRONYMS else w.capitalize() for w in words)


def type_enum(name, texts):
    width = max(len(enumerator(t)) for t in texts) + 1
    body = "".join(f"    {enumerator(t) + ',':{width}}  // \"{t}\"\n" for t in texts)
    return (f"enum class {name} : int32_t {{\n{body}}};\n"
            f"inline constexpr int32_t k{name}Count = {len(texts)};\n")


def type_header():
    return ("#pragma once\n"
            "// Written by scripts/edit-panel-resources.py from the type lists it puts in\n"
            "// the skin's strings: a type is its item's place in the list and the byte\n"
            "// the keyboard holds. Change the lists there and run the script.\n"
            "#include <cstdint>\n\n"
            + type_enum("HardwareButtonType", HARDWARE_BUTTON_TYPES) + "\n"
            + type_enum("FootSwitchType", FOOT_SWITCH_TYPES))


# ---------------------------------------------------------------- pictures
INK = (0x3C, 0x46, 0x50)


def polygon_png(width, height, points, colour, scale=8):
    """A small straight-alpha PNG of a filled polygon, its edges smoothed by supersampling."""
    def inside(x, y):
        hit = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
        return hit
    rows = b""
    for py in range(height):
        row = b"\0"
        for px in range(width):
            n = sum(inside(px + (i + 0.5) / scale, py + (j + 0.5) / scale) for i in range(scale) for j in range(scale))
            row += bytes(colour) + bytes([round(255 * n / scale / scale)])
        rows += row

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


CHECK = [(1.5, 6.0), (3.0, 4.5), (5.0, 6.5), (10.5, 1.0), (12.0, 2.5), (5.0, 9.5)]
PICTURES = {
    "ed_check.png": (13, 11, CHECK, (0xFF, 0xFF, 0xFF)),
    "ed_arrow_up.png": (8, 5, [(0, 5), (4, 1), (8, 5)], INK),
    "ed_arrow_down.png": (8, 5, [(0, 0), (8, 0), (4, 4)], INK),
    "ed_arrow_drop.png": (10, 6, [(0, 0.5), (10, 0.5), (5, 5.5)], INK),
}


def write_pictures(folder):
    folder.mkdir(exist_ok=True)
    for file, (w, h, points, colour) in PICTURES.items():
        (folder / file).write_bytes(polygon_png(w, h, points, colour))


# ---------------------------------------------------------------- splice
def splice(path, sections, target):
    text = path.read_text(encoding="utf-8")
    pattern = re.compile(r"(<!-- edit panels: begin[^>]*-->\n)(.*?)(\s*<!-- edit panels: end -->)", re.S)
    matches = list(pattern.finditer(text))
    assert len(matches) == len(sections), (path, len(matches))
    for m, body in reversed(list(zip(matches, sections))):
        end = m.group(3).split("\n")[-1]
        text = text[:m.start(2)] + body.rstrip("\n") + "\n" + end + text[m.end(3):]
    target.write_text(text, encoding="utf-8")


def indent(lines, depth):
    return "".join("  " * depth + line + "\n" for line in lines)


skin_sections = [
    indent([f'<Colorizer Name="{n}" ColorType="SolidFill" Color="{c}"/>' for n, c in COLOURS.items()], 2),
    indent([f'<Part Name="{n}" Width="1" Height="1" ResizeType="Stretch" ColorizerName="{n}"/>' for n in COLOURS]
           + [f'<Part Name="{n}" ImageFile="{f}" ImageLocX="0" ImageLocY="0" Width="{PICTURES[f][0]}" '
              f'Height="{PICTURES[f][1]}" ResizeType="Center"/>' for n, f in IMAGES.items()], 2),
    indent(LOOKS, 2),
    indent([look_list(n, ls) for n, ls in LOOK_LISTS.items()], 2),
    "".join(render(p, 4) for p in panels()),
]
parser = argparse.ArgumentParser(description=__doc__)
parser.add_argument("--out", type=pathlib.Path, help="folder for the results (default: change the files in place)")
out = parser.parse_args().out
xml = ROOT / "Resources/Xml"
write_pictures(out or ROOT / "Resources/Images")
((out or ROOT / "UI/EditPanels") / "EditPanelTypes.h").write_text(type_header(), encoding="utf-8")
for name, sections in (("APP_SKINS.xml", skin_sections), ("APP_STRINGS.xml", [string_tables()])):
    splice(xml / name, sections, (out or xml) / name)
_w, _h = panels_extent()
_minimum = f'XMinSizeAbs="{_w}"', f'YMinSizeAbs="{_h + MENU_AND_STATUS}"'
assert all(m in ((out or xml) / "APP_SKINS.xml").read_text(encoding="utf-8") for m in _minimum), \
    f"set the main control's minimum in APP_SKINS.xml to {_minimum}"
