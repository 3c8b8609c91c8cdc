# Scenarios of the program as an OLE server: its class in the registry, embedding in a
# small test container. Sourced by tests/gui/scenarios, which holds the shared helpers.

ole_class='{9FA53D8A-BAC8-4FBF-8595-7AA32F7B5FF9}'

reg_value() { wine reg query "$1" ${2:+/v "$2"} 2>/dev/null | tr -d '\r'; }
class_registered() { wine reg query "HKCR\\CLSID\\$ole_class" >/dev/null 2>&1; }
class_unregistered() { ! class_registered; }

scenario_registration() {
    step "a normal start writes the class into the registry"
    wine reg delete "HKCR\\CLSID\\$ole_class" /f >/dev/null 2>&1 || true
    start_program
    wait_for 30 "the first document" has_docs 1
    wait_for 10 "the class in the registry" class_registered
    local exe
    exe=$(windows_path "$build/figmantle_test.exe")
    reg_value "HKCR\\CLSID\\$ole_class\\LocalServer32" | grep -qiF "$exe" ||
        fail "LocalServer32 is not the program: $(reg_value "HKCR\\CLSID\\$ole_class\\LocalServer32")"
    reg_value "HKCR\\CLSID\\$ole_class\\ProgID" | grep -q "Velmora.Document" || fail "no ProgID"
    reg_value "HKCR\\Velmora.Document\\CLSID" | grep -qF "$ole_class" || fail "the ProgID does not name the class"
    for key in InprocHandler32 Insertable 'verb\0' MiscStatus DefaultIcon 'AuxUserType\2' 'AuxUserType\3'; do
        wine reg query "HKCR\\CLSID\\$ole_class\\$key" >/dev/null 2>&1 || fail "no $key under the class"
    done
    reg_value "HKCR\\CLSID\\$ole_class\\AuxUserType\\2" | grep -q Sketch || fail "short type name"
    reg_value "HKCR\\Velmora.Document\\shell\\open\\command" | grep -q . || fail "the file type went"
    end_program

    step "/Unregserver removes it and ends"
    timeout 60 wine "$build/figmantle_test.exe" /Unregserver >/dev/null 2>&1 || true
    wait_for 10 "the class to go" class_unregistered
    wine reg query "HKCR\\Velmora.Document\\CLSID" >/dev/null 2>&1 && fail "the ProgID still names the class"
    return 0
}
