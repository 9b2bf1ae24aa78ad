#!/usr/bin/env python3
# check_ts.py FOLDER: every translation in FOLDER/*.ts is finished and not empty, and
# keeps its source's places (%1, %n) and access-key marks (one "&", "&&" literal).
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

def marks(text):
    return sorted(re.findall(r"%[0-9n]", text))

def keys(text):
    return text.replace("&&", "").count("&"), text.count("&&")

faults = []
files = sorted(Path(sys.argv[1]).glob("*.ts"))
for path in files:
    for message in ET.parse(path).getroot().iter("message"):
        source = message.findtext("source") or ""
        translation = message.find("translation")
        forms = [e.text or "" for e in translation.findall("numerusform")] or [translation.text or ""]
        where = f"{path.name}: {source!r}"
        if translation.get("type") in ("unfinished", "obsolete", "vanished"):
            faults.append(f"{where} is {translation.get('type')}")
        for form in forms:
            if not form.strip():
                faults.append(f"{where} has an empty translation")
            elif marks(form) != marks(source) and not (message.get("numerus") == "yes" and marks(form) == []):
                faults.append(f"{where}: places differ in {form!r}")
            elif keys(form) != keys(source):
                faults.append(f"{where}: access keys differ in {form!r}")
print("\n".join(faults) or f"{len(files)} translations complete")
sys.exit(1 if faults or not files else 0)
