"""Sums the test results of every layer: one line per layer, then the closing line "N passed, N failed".

Usage: summarize.py RESULTS LAYER=XMLDIR...
Each layer's ctest report is RESULTS/LAYER-ctest.xml and its GoogleTest programs wrote XML into
XMLDIR. A ctest entry whose program wrote GoogleTest XML counts each test case in it; any other ctest
entry (end-to-end scripts, a program that crashed before writing XML) counts as one. Fuzz targets
(RESULTS/fuzz.txt) count one each.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
    failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
    return tests - failed, failed


def layer_counts(ctest_xml, xml_dir):
    gtest = {}
    if os.path.isdir(xml_dir):
        for f in os.listdir(xml_dir):
            if f.endswith(".xml"):
                try:
                    gtest[f[:-4]] = gtest_counts(os.path.join(xml_dir, f))
                except (ET.ParseError, ValueError):
                    pass
    passed = failed = 0
    for case in ET.parse(ctest_xml).getroot().iter("testcase"):
        name = case.get("name")
        bad = case.find("failure") is not None or case.find("error") is not None
        skipped = case.get("status") in ("notrun", "disabled") or case.find("skipped") is not None
        if name in gtest:
            p, f = gtest[name]
            passed, failed = passed + p, failed + (max(f, 1) if bad else f)
        elif bad:
            failed += 1
        elif not skipped:
            passed += 1
    return passed, failed


def main(results, *layers):
    counts = []
    for spec in layers:
        name, _, xml_dir = spec.partition("=")
        path = os.path.join(results, name + "-ctest.xml")
        if os.path.exists(path):
            counts.append((name, *layer_counts(path, xml_dir)))
        else:
            counts.append((name, 0, 1))  # the layer did not run at all
    fuzz = os.path.join(results, "fuzz.txt")
    if os.path.exists(fuzz):
        p = f = 0
        for line in open(fuzz):
            parts = line.split()
            if len(parts) >= 2:  # "name passed: <libFuzzer's last status>" or "name failed"
                p += parts[1] == "passed:"
                f += parts[1] != "passed:"
        counts.insert(1, ("fuzz", p, f))
    for name, p, f in counts:
        print(f"  {name:8} {p} passed, {f} failed")
    passed = sum(c[1] for c in counts)
    failed = sum(c[2] for c in counts)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
