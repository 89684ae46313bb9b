# cmake -DBUILD_DIR=<build> -DPREFIX=<empty prefix> -P checkinstall.cmake
# The programs must land beside the files they open by bare name, and the
# desktop entry must name an installed program and an installed icon.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
    bin/kx740d bin/kx740d-sim bin/kx740d-record
    bin/cs.qss bin/KX740D_EN.qm bin/ZH.qm bin/widgets_zh_cn.qm
    bin/KX740D_PC_manual.pdf bin/KX740D_PC_manual_EN.pdf
    share/applications/kx740d.desktop
    share/icons/hicolor/scalable/apps/kx740d.svg
    share/kx740d/60-kx740d.rules
    lib/systemd/system/kx740d-record@.service share/kx740d/kx740d-record.conf.example)
foreach(f ${expected})
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
foreach(f bin/kx740d bin/kx740d-sim bin/kx740d-record)
    file(READ ${PREFIX}/${f} head LIMIT 4 HEX)
    if(NOT head STREQUAL "7f454c46")
        message(FATAL_ERROR "not a program: ${f}")
    endif()
endforeach()

file(STRINGS ${PREFIX}/share/applications/kx740d.desktop entry)
list(FIND entry "Exec=kx740d %f" exec)
list(FIND entry "Icon=kx740d" icon)
if(exec EQUAL -1 OR icon EQUAL -1)
    message(FATAL_ERROR "desktop entry does not start kx740d with icon kx740d")
endif()

file(STRINGS ${PREFIX}/share/kx740d/60-kx740d.rules rule REGEX "^SUBSYSTEM")
foreach(part [[ATTRS{idVendor}=="1a86"]] [[ATTRS{idProduct}=="7523"]] [[GROUP="dialout"]]
        [[MODE="0660"]] [[TAG+="uaccess"]])
    string(FIND "${rule}" "${part}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "udev rule lacks ${part}")
    endif()
endforeach()
file(STRINGS ${PREFIX}/lib/systemd/system/kx740d-record@.service unit)
foreach(line "EnvironmentFile=-/etc/kx740d/%i.conf" "Restart=on-failure"
        "Type=notify" "NotifyAccess=main" "WatchdogSec=30"
        "LoadCredential=mqtt-password:/etc/kx740d/%i.password"
        "LoadCredential=mqtt-key:/etc/kx740d/%i.key"
        "ExecStart=${PREFIX}/bin/kx740d-record --out %i.dat $KX740D_RECORD_ARGS")
    list(FIND unit "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "recorder unit lacks ${line}")
    endif()
endforeach()
# Where systemd's own checker is installed, it finds nothing to say about
# the unit (its complaints name the unit; a machine without a running
# systemd may make it complain about other things, which are not ours).
find_program(KX_SYSTEMD_ANALYZE systemd-analyze)
if(KX_SYSTEMD_ANALYZE)
    execute_process(COMMAND ${KX_SYSTEMD_ANALYZE} verify
            ${PREFIX}/lib/systemd/system/kx740d-record@.service
        OUTPUT_VARIABLE analysis ERROR_VARIABLE analysis)
    if(analysis MATCHES "kx740d-record@")
        message(FATAL_ERROR "systemd-analyze verify:\n${analysis}")
    endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
