#!/usr/bin/env python3
"""Writes the Windows window's tables from the Qt window's sources, so that
neither is kept twice by hand:
  make_tables.py controls Main.ui OUT.h   every control of the form, in Control order
  make_tables.py words TS OUT.h           the form's texts in the .ts file's language
"""
import sys
import xml.etree.ElementTree as ET

# The form's controls in the order of enum Control (ui/form/FormControls.h).
CONTROLS = """ExitBtn PageControl1 InpFileNameStaticText InpFileNameEdit1 SelFile1 ViewInpBitBtn1
FileSizeLabel1 InfoInpFileLabel1 OutFileNameStaticText OutFileNameEdit1 FormatBox1 ViewOutBitBtn1
OutInfoLabel1 OutInfoEdit1 TabBox1 QueryBitBtn1 TypeInpRadioGroup1 TypeOutRadioGroup1 ConvBitBtn1
Gauge1 VersionStaticText""".split()

KINDS = {"QPushButton": "Button", "QTabWidget": "Tabs", "StaticText": "Sunken", "QLineEdit": "Edit",
         "QLabel": "Label", "QCheckBox": "Check", "RadioGroup": "Radios", "Gauge": "Gauge"}


def c_string(text):
    out = '"'
    for byte in text.encode("utf-8"):
        out += chr(byte) if 32 <= byte < 127 and chr(byte) not in '"\\?' else "\\%03o" % byte
    return out + '"'


def prop(widget, name):
    return widget.find("property[@name='%s']" % name)


def controls(ui, out):
    root = ET.parse(ui).getroot()
    widgets = {}
    for parent in root.iter("widget"):
        for child in parent.findall("widget"):
            widgets[child.get("name")] = (child, parent.get("name"))
    tabs = [t.text for t in root.find("tabstops")]
    page = root.find(".//widget[@name='TabSheet1']")
    lines = ["// Made by make_tables.py from ui/main/Main.ui at build time: do not edit.",
             "#pragma once", "", "#include \"ControlTable.h\"", "",
             "inline constexpr const char* kWindowTitle = %s;" % c_string(prop(root.find("widget"), "windowTitle").find("string").text),
             "inline constexpr const char* kPageTitle = %s;" % c_string(page.find("attribute/string").text),
             "inline constexpr ControlEntry kControlTable[] = {"]
    for name in CONTROLS:
        widget, parent = widgets[name]
        rect = prop(widget, "geometry").find("rect")
        x, y, w, h = (int(rect.find(k).text) for k in ("x", "y", "width", "height"))
        text = prop(widget, "text") if prop(widget, "text") is not None else prop(widget, "title")
        text = text.find("string").text or "" if text is not None else ""
        items = prop(widget, "items")
        items = "|".join(s.text for s in items.find("stringlist")) if items is not None else ""
        font = prop(widget, "font")
        bold = font is not None and font.find("font/bold") is not None and font.find("font/bold").text == "true"
        def flag(name, default):
            p = prop(widget, name)
            return default if p is None else p.find("bool").text == "true"
        icon = prop(widget, "icon")
        glyph = icon.find("iconset/normaloff").text.split("/")[-1].split(".")[0] if icon is not None else ""
        index = prop(widget, "itemIndex")
        alignment = prop(widget, "alignment")
        centred = alignment is not None and "AlignCenter" in alignment.find("set").text
        lines.append("    {%s, %s, %s, %d, %d, %d, %d, %d, %s, %s, %s, %s, %s, %s, %s, %s, %d, %s}," % (
            c_string(name), "ControlKind::" + KINDS[widget.get("class")],
            "true" if parent == "TabSheet1" else "false", x, y, w, h,
            tabs.index(name) if name in tabs else -1, c_string(text), c_string(items),
            "true" if bold else "false", "true" if flag("enabled", True) else "false",
            "true" if flag("checked", False) else "false", "true" if flag("readOnly", False) else "false",
            "true" if flag("default", False) else "false", "true" if centred else "false",
            int(index.find("number").text) if index is not None else -1, c_string(glyph)))
    lines.append("};")
    open(out, "w", encoding="utf-8").write("\n".join(lines) + "\n")


def words(ts, out):
    root = ET.parse(ts).getroot()
    lines = ["// Made by make_tables.py from %s at build time: do not edit." % ts.split("/")[-1],
             "#pragma once", "", "struct TranslatedText {", "    const char* Context;", "    const char* Source;",
             "    const char* Forms[3];  // one, few, many; only the first without a number", "};", "",
             "inline constexpr TranslatedText kTranslations[] = {"]
    for context in root.iter("context"):
        name = context.find("name").text
        if name not in ("TMAVIKForm", "IOError"):
            continue
        for message in context.iter("message"):
            translation = message.find("translation")
            forms = [f.text or "" for f in translation.findall("numerusform")] or [translation.text or ""]
            forms = (forms + [forms[-1]] * 3)[:3]
            lines.append("    {%s, %s, {%s}}," % (c_string(name), c_string(message.find("source").text),
                                                 ", ".join(c_string(f) for f in forms)))
    lines.append("};")
    open(out, "w", encoding="utf-8").write("\n".join(lines) + "\n")


if __name__ == "__main__":
    {"controls": controls, "words": words}[sys.argv[1]](sys.argv[2], sys.argv[3])
