#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A stand-in for the system's disk service (udisks2) on a private bus, for the tests.

Usage: udisks_standin.py LOG. The bus is $DBUS_STARTER_ADDRESS. Drives are added and taken away
through the org.bootdisk.Test interface at /org/bootdisk/Test; every OpenDevice and Unmount call
is written to LOG, one line each, after the line "ready" that says the service answers. A method
can be made to answer late (AnswerAfter), as a service waiting for the user's authorisation does.
"""
import os
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

ROOT = "/org/freedesktop/UDisks2"
MANAGER = "org.freedesktop.DBus.ObjectManager"
UD = "org.freedesktop.UDisks2."
NONE = dbus.ObjectPath("/")


def path_bytes(text):
    return dbus.ByteArray(text.encode() + b"\0")


def path_list(texts):
    return dbus.Array([path_bytes(t) for t in texts], signature="ay")


class Standin(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, ROOT)
        self.bus = bus
        self.log = log
        self.objects = {}  # path -> {interface: {property: value}}
        self.files = {}  # block path -> backing file
        self.unmount_errors = {}  # block path -> message
        self.read_files = {}  # block path -> file read instead of the backing file
        self.next_number = 1
        self.delays = {}  # method -> seconds before it answers

    # Answers through ok(), at once or after the method's delay, without holding up other callers.
    def answer(self, method, ok, err, work):
        def run():
            try:
                ok(*work())
            except dbus.exceptions.DBusException as error:
                err(error)
            return False
        delay = self.delays.get(method, 0)
        if delay:
            GLib.timeout_add(int(delay * 1000), run)
        else:
            run()

    def record(self, line):
        with open(self.log, "a") as out:
            out.write(line + "\n")

    def put(self, path, interfaces):
        self.objects[path] = interfaces
        self.InterfacesAdded(path, interfaces)

    @dbus.service.method(MANAGER, out_signature="a{oa{sa{sv}}}", async_callbacks=("ok", "err"))
    def GetManagedObjects(self, ok, err):
        self.answer("GetManagedObjects", ok, err, lambda: (dbus.Dictionary(self.objects, signature="oa{sa{sv}}"),))

    @dbus.service.signal(MANAGER, signature="oa{sa{sv}}")
    def InterfacesAdded(self, path, interfaces):
        pass

    @dbus.service.signal(MANAGER, signature="oas")
    def InterfacesRemoved(self, path, interfaces):
        pass

    def block(self, name, drive, size, file, extra, system=False):
        path = dbus.ObjectPath(ROOT + "/block_devices/" + name)
        self.next_number += 1
        block = {
            "Device": path_bytes("/dev/" + name), "PreferredDevice": path_bytes("/dev/" + name),
            "Symlinks": path_list(["/dev/disk/by-id/usb-Standin_" + name]), "Drive": drive,
            "Size": dbus.UInt64(size), "ReadOnly": dbus.Boolean(False), "HintSystem": dbus.Boolean(system),
            "HintIgnore": dbus.Boolean(False), "DeviceNumber": dbus.UInt64(0xfd00 + self.next_number),
            "MDRaidMember": NONE, "CryptoBackingDevice": NONE,
        }
        interfaces = {UD + "Block": dbus.Dictionary(block, signature="sv")}
        interfaces.update(extra)
        self.files[path] = file
        self.Add(path, interfaces)
        return path, block

    def Add(self, path, interfaces):
        self.put(path, dbus.Dictionary({k: dbus.Dictionary(v, signature="sv") for k, v in interfaces.items()},
                                       signature="sa{sv}"))


class Control(dbus.service.Object):
    def __init__(self, bus, standin):
        super().__init__(bus, "/org/bootdisk/Test")
        self.standin = standin

    # A disk whose bytes are file; with mount_point, one partition holds a mounted file system.
    @dbus.service.method("org.bootdisk.Test", in_signature="sssbb")
    def AddDrive(self, name, file, mount_point, removable, system):
        s = self.standin
        size = os.path.getsize(file)
        drive = dbus.ObjectPath(ROOT + "/drives/Standin_Stick_" + name)
        s.Add(drive, {UD + "Drive": {
            "Vendor": "Standin", "Model": "Stick " + name, "Serial": "SN-" + os.path.basename(file), "Size": dbus.UInt64(size),
            "Removable": dbus.Boolean(removable), "MediaRemovable": dbus.Boolean(removable),
            "ConnectionBus": "usb" if removable else "sata", "Optical": dbus.Boolean(False)}})
        disk, _ = s.block(name, drive, size, file, {UD + "PartitionTable": {"Type": "dos"}}, system)
        if mount_point:
            s.block(name + "1", drive, size, file, {
                UD + "Partition": {"Table": disk, "Number": dbus.UInt32(1)},
                UD + "Filesystem": {"MountPoints": path_list([mount_point])}})

    @dbus.service.method("org.bootdisk.Test", in_signature="s")
    def RemoveDrive(self, name):
        s = self.standin
        for path in [p for p in s.objects if p.rsplit("/", 1)[-1] in (name, name + "1", "Standin_Stick_" + name)]:
            interfaces = list(s.objects.pop(path))
            s.InterfacesRemoved(path, dbus.Array(interfaces, signature="s"))

    @dbus.service.method("org.bootdisk.Test", in_signature="ss")
    def RefuseUnmount(self, name, message):
        self.standin.unmount_errors[dbus.ObjectPath(ROOT + "/block_devices/" + name)] = message

    @dbus.service.method("org.bootdisk.Test", in_signature="sd")
    def AnswerAfter(self, method, seconds):
        self.standin.delays[method] = seconds

    # A drive that does not keep what is written: opened for reading, it gives file's bytes.
    @dbus.service.method("org.bootdisk.Test", in_signature="ss")
    def ReadsFrom(self, name, file):
        self.standin.read_files[dbus.ObjectPath(ROOT + "/block_devices/" + name)] = file


class Block(dbus.service.FallbackObject):
    """Answers the calls on every block object, whichever path they are made on."""

    def __init__(self, bus, standin):
        super().__init__(bus, ROOT + "/block_devices")
        self.standin = standin

    def device(self, path):
        return bytes(self.standin.objects[path][UD + "Block"]["Device"]).rstrip(b"\0").decode()

    @dbus.service.method(UD + "Block", in_signature="sa{sv}", out_signature="h", rel_path_keyword="rel",
                         async_callbacks=("ok", "err"))
    def OpenDevice(self, mode, options, rel=None, ok=None, err=None):
        path = dbus.ObjectPath(ROOT + "/block_devices" + rel)
        s = self.standin

        def work():
            if path not in s.objects:
                raise dbus.exceptions.DBusException("No such device", name="org.freedesktop.UDisks2.Error.Failed")
            s.record("OpenDevice %s %s flags=%d" % (self.device(path), mode, int(options.get("flags", 0))))
            name = s.files[path] if mode == "rw" else s.read_files.get(path, s.files[path])
            fd = os.open(name, os.O_RDWR if mode == "rw" else os.O_RDONLY)
            try:
                return (dbus.types.UnixFd(fd),)
            finally:
                os.close(fd)
        s.answer("OpenDevice", ok, err, work)

    @dbus.service.method(UD + "Filesystem", in_signature="a{sv}", rel_path_keyword="rel", async_callbacks=("ok", "err"))
    def Unmount(self, options, rel=None, ok=None, err=None):
        path = dbus.ObjectPath(ROOT + "/block_devices" + rel)
        s = self.standin

        def work():
            s.record("Unmount %s" % self.device(path))
            if path in s.unmount_errors:
                raise dbus.exceptions.DBusException(s.unmount_errors[path], name="org.freedesktop.UDisks2.Error.DeviceBusy")
            s.objects[path][UD + "Filesystem"]["MountPoints"] = path_list([])
            return ()
        s.answer("Unmount", ok, err, work)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(os.environ["DBUS_STARTER_ADDRESS"])
    standin = Standin(bus, sys.argv[1])
    Control(bus, standin)
    Block(bus, standin)
    name = dbus.service.BusName("org.freedesktop.UDisks2", bus)  # owned while it lives
    standin.record("ready")
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
