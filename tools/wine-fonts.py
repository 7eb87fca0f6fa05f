#!/usr/bin/env python3
"""Writes a .reg file (UTF-16, as regedit expects) that lets the Wine prefix
show Chinese text: a CJK font linked behind the dialog fonts, and a stand-in
for SimSun (宋体), the font the client's skinned controls ask for."""
import sys

CJK_FILE, CJK_FACE = "wqy-microhei.ttc", "WenQuanYi Micro Hei"
LINKED = ["Tahoma", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "Segoe UI", "Arial"]
SUBSTITUTES = ["SimSun", "宋体", "NSimSun", "新宋体", "Microsoft YaHei", "微软雅黑"]


def multi_sz(*strings):
    data = "".join(s + "\0" for s in strings) + "\0"
    raw = data.encode("utf-16-le")
    return "hex(7):" + ",".join(f"{b:02x}" for b in raw)


lines = ["Windows Registry Editor Version 5.00", "",
         r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]"]
lines += [f'"{face}"={multi_sz(f"{CJK_FILE},{CJK_FACE}")}' for face in LINKED]
lines += ["", r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]"]
lines += [f'"{face}"="{CJK_FACE}"' for face in SUBSTITUTES]
with open(sys.argv[1], "w", encoding="utf-16", newline="\r\n") as out:
    out.write("\n".join(lines) + "\n")
