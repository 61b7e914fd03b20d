"""Sums the test results of every layer and prints the closing line "N passed, N failed".

A ctest entry whose program wrote GoogleTest XML counts each test case in it; any other ctest entry
(end-to-end scripts, a program that crashed before writing XML) counts as one. Fuzz targets count one each.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    tests = int(root.get("tests", 0)) - int(root.get("disabled", 0))
    failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
    return tests - failed, failed


def main(results, *xml_dirs):
    passed = failed = 0
    gtest = {}
    for d in xml_dirs:
        if os.path.isdir(d):
            for f in os.listdir(d):
                if f.endswith(".xml"):
                    try:
                        gtest[f[:-4]] = gtest_counts(os.path.join(d, f))
                    except (ET.ParseError, ValueError):
                        pass
    for layer in ("native-ctest.xml", "win-ctest.xml"):
        path = os.path.join(results, layer)
        if not os.path.exists(path):
            continue
        for case in ET.parse(path).getroot().iter("testcase"):
            name = case.get("name")
            bad = case.find("failure") is not None or case.find("error") is not None
            skipped = case.get("status") in ("notrun", "disabled") or case.find("skipped") is not None
            if name in gtest and not bad:
                p, f = gtest[name]
                passed, failed = passed + p, failed + f
            elif name in gtest:
                p, f = gtest[name]
                passed, failed = passed + p, failed + max(f, 1)
            elif bad:
                failed += 1
            elif not skipped:
                passed += 1
    fuzz = os.path.join(results, "fuzz.txt")
    if os.path.exists(fuzz):
        for line in open(fuzz):
            parts = line.split()
            if len(parts) == 2:
                passed += parts[1] == "passed"
                failed += parts[1] != "passed"
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
