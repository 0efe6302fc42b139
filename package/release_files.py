#!/usr/bin/env python3
"""Writes the release's registration files from the registry table that Marelco.ocx registers itself with
(print_registry_table's output: key, name and data separated by tabs, keys relative to a Classes root).

  release_files.py manifest TABLE ARCH VERSION OUT
      the manifest for registration-free use of the Marelco.ocx beside it (ARCH: x86 or amd64)
  release_files.py wxs SCOPE VERSION OUT x86=TABLE:OCX x64=TABLE:OCX ...
      the wixl source of an MSI that installs the given bitnesses for the machine or for one user (SCOPE:
      machine or user); each table was printed with [#Marelco_x86] or [#Marelco_x64] as the server's path
      and [INSTALLDIR_x86] or [INSTALLDIR_x64] as its folder.
  release_files.py package-code SCOPE VERSION
      the package code of that MSI, which wixl would otherwise draw at random.

An MSI replaces any other version of its scope's product (a major upgrade) and refuses to install over a newer
one. Its product and package codes follow from the scope and the version, so that a release can be built again
byte for byte. VERSION is MAJOR.MINOR.0.REVISION; the installer compares the first three numbers of a product
version alone, so the MSI's version is MAJOR.MINOR.REVISION.
"""
import re
import sys
import uuid
from xml.sax.saxutils import quoteattr

# The ProgIDs and the type library are shared by both registry views; class and interface keys are not.
PER_VIEW_KEYS = re.compile(r"^(CLSID|Interface)\\", re.IGNORECASE)
UPGRADE_CODES = {"machine": "5B0E4C1D-6F0B-4A55-9C7E-2D1A6A3F7B01", "user": "5B0E4C1D-6F0B-4A55-9C7E-2D1A6A3F7B02"}
GUID_NAMESPACE = uuid.UUID("0F7A3C52-8E21-4D0B-A5E6-3B9C1D2E4F60")
MISC_STATUS = {  # OLEMISC flags by the names manifests give them
    0x1: "recomposeonresize", 0x2: "onlyiconic", 0x4: "insertnotreplace", 0x8: "static", 0x10: "cantlinkinside",
    0x20: "canlinkbyole1", 0x40: "islinkobject", 0x80: "insideout", 0x100: "activatewhenvisible",
    0x200: "renderingisdeviceindependent", 0x400: "invisibleatruntime", 0x800: "alwaysrun",
    0x1000: "actslikebutton", 0x2000: "actslikelabel", 0x4000: "nouiactivate", 0x8000: "alignable",
    0x10000: "simpleframe", 0x20000: "setclientsitefirst", 0x40000: "imemode", 0x80000: "ignoreactivatewhenvisible",
    0x100000: "wantstomenumerge", 0x200000: "supportsmultilevelundo",
}


def read_table(path):
    """The table as {key: {name: data}}, keys in their order of registration."""
    table = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.strip():
                key, name, data = line.rstrip("\r\n").split("\t")
                table.setdefault(key, {})[name] = data
    return table


def subkeys(table, prefix):
    """The names of the keys directly under prefix, such as the classes under CLSID, in table order."""
    names = [key[len(prefix) + 1:].split("\\")[0] for key in table if key.startswith(prefix + "\\")]
    return list(dict.fromkeys(names))


def value(table, key, name=""):
    return table[key][name]


def misc_status_names(status):
    return ",".join(name for bit, name in MISC_STATUS.items() if int(status) & bit)


def manifest(table, arch, version):
    (typelib,) = subkeys(table, "TypeLib")
    (library_version,) = subkeys(table, "TypeLib\\" + typelib)
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
             '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
             f'  <assemblyIdentity type="win32" name="Marelco" version="{version}" processorArchitecture="{arch}"/>',
             '  <file name="Marelco.ocx">',
             f'    <typelib tlbid="{typelib}" version="{library_version}" helpdir="" flags=""/>']
    for clsid in subkeys(table, "CLSID"):
        key = "CLSID\\" + clsid
        progid = value(table, key + "\\ProgID")
        threading = value(table, key + "\\InprocServer32", "ThreadingModel")
        tlbid = value(table, key + "\\TypeLib")
        misc = misc_status_names(value(table, key + "\\MiscStatus"))
        independent = value(table, key + "\\VersionIndependentProgID")
        lines.append(f'    <comClass clsid="{clsid}" progid={quoteattr(progid)} threadingModel="{threading}" '
                     f'tlbid="{tlbid}" description={quoteattr(value(table, key))}'
                     + (f' miscStatus="{misc}"' if misc else "") + '>')
        lines.append(f'      <progid>{independent}</progid>')
        lines.append('    </comClass>')
    lines.append('  </file>')
    for iid in subkeys(table, "Interface"):
        key = "Interface\\" + iid
        proxy_stub = value(table, key + "\\ProxyStubClsid32")
        lines.append(f'  <comInterfaceExternalProxyStub name={quoteattr(value(table, key))} iid="{iid}" '
                     f'proxyStubClsid32="{proxy_stub}" tlbid="{typelib}"/>')
    lines.append('</assembly>')
    return "\n".join(lines) + "\n"


def registry_values(table, hive, indent):
    rows = []
    for key, values in table.items():
        for name, data in values.items():
            attributes = f'Root="{hive}" Key=' + quoteattr("Software\\Classes\\" + key)
            if name:
                attributes += f" Name={quoteattr(name)}"
            rows.append(f'{indent}<RegistryValue {attributes} Type="string" Value={quoteattr(data)}/>')
    return rows


def split_views(table):
    per_view = {key: values for key, values in table.items() if PER_VIEW_KEYS.match(key)}
    shared = {key: values for key, values in table.items() if not PER_VIEW_KEYS.match(key)}
    return per_view, shared


def derived_guid(*names):
    return str(uuid.uuid5(GUID_NAMESPACE, "/".join(names))).upper()


def msi_version(version):
    major, minor, zero, revision = (int(number) for number in version.split("."))
    if zero or major > 255 or minor > 255 or revision > 65535:
        sys.exit(f"version {version}: expected MAJOR.MINOR.0.REVISION")
    return f"{major}.{minor}.{revision}"


def wxs(scope, version, builds):
    """builds: [(bitness, table, ocx)], bitness x86 or x64. The keys both registry views share are written once,
    by the x64 component when there is one (its view is the one that 64-bit Windows shares), joined with those
    of the other bitness (the type library's win32 subkey)."""
    hive = "HKLM" if scope == "machine" else "HKCU"
    owner = next((bitness for bitness, _, _ in builds if bitness == "x64"), builds[0][0])
    shared = {}
    for _, table, _ in sorted(builds, key=lambda build: build[0] != owner):
        for key, values in split_views(table)[1].items():
            for name, data in values.items():
                shared.setdefault(key, {}).setdefault(name, data)
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
             f'  <Product Id="{derived_guid(scope, version, "product")}" Name="Marelco" Language="1033"'
             f' Version="{msi_version(version)}" Manufacturer="Marelco Software" UpgradeCode="{UPGRADE_CODES[scope]}">',
             '    <Package InstallerVersion="200" Compressed="yes" Description="Marelco date entry control"'
             f' InstallScope="{"perMachine" if scope == "machine" else "perUser"}"/>',
             '    <MajorUpgrade DowngradeErrorMessage="A newer version of Marelco is already installed."/>',
             '    <Media Id="1" Cabinet="marelco.cab" EmbedCab="yes"/>',
             '    <Directory Id="TARGETDIR" Name="SourceDir">']
    def component(bitness, table, ocx):
        rows = [f'        <Component Id="Marelco_{bitness}" Guid="{derived_guid(scope, bitness)}"'
                f' Win64="{"yes" if bitness == "x64" else "no"}">',
                f'          <File Id="Marelco_{bitness}" Name="Marelco.ocx" Source={quoteattr(ocx)} KeyPath="yes"/>']
        rows += registry_values(split_views(table)[0], hive, "          ")
        if bitness == owner:
            rows += registry_values(shared, hive, "          ")
        if scope == "user":
            rows.append(f'          <RemoveFolder Id="Remove_{bitness}" On="uninstall"/>')
        return rows + ['        </Component>']

    def folder_component(folder):
        """A component that removes its folder of the user's profile on uninstall: the installer removes there only
        the folders it is told of (wixl takes no Directory for RemoveFolder, so each folder has its own)."""
        return [f'        <Component Id="{folder}" Guid="{derived_guid(scope, folder)}">',
                f'          <RemoveFolder Id="Remove_{folder}" On="uninstall"/>', '        </Component>']

    if scope == "machine":  # Program Files\Marelco of each bitness
        for bitness, table, ocx in builds:
            top = "ProgramFiles64Folder" if bitness == "x64" else "ProgramFilesFolder"
            lines.append(f'      <Directory Id="{top}"><Directory Id="INSTALLDIR_{bitness}" Name="Marelco">')
            lines += component(bitness, table, ocx)
            lines.append('      </Directory></Directory>')
    else:  # %LOCALAPPDATA%\Programs\Marelco\x86 and x64
        lines.append('      <Directory Id="LocalAppDataFolder"><Directory Id="UserPrograms" Name="Programs">')
        lines += folder_component("UserPrograms")
        lines.append('      <Directory Id="UserMarelco" Name="Marelco">')
        lines += folder_component("UserMarelco")
        for bitness, table, ocx in builds:
            lines.append(f'      <Directory Id="INSTALLDIR_{bitness}" Name="{bitness}">')
            lines += component(bitness, table, ocx)
            lines.append('      </Directory>')
        lines.append('      </Directory></Directory></Directory>')
    lines += ['    </Directory>',
              '    <Feature Id="Marelco" Level="1">']
    lines += [f'      <ComponentRef Id="Marelco_{bitness}"/>' for bitness, _, _ in builds]
    if scope == "user":
        lines += ['      <ComponentRef Id="UserPrograms"/>', '      <ComponentRef Id="UserMarelco"/>']
    lines += ['    </Feature>', '  </Product>', '</Wix>']
    return "\n".join(line for line in lines if line) + "\n"


def main(argv):
    if len(argv) >= 6 and argv[1] == "manifest":
        text = manifest(read_table(argv[2]), argv[3], argv[4])
        out = argv[5]
    elif len(argv) >= 6 and argv[1] == "wxs" and argv[2] in UPGRADE_CODES:
        builds = []
        for build in argv[5:]:
            bitness, files = build.split("=", 1)
            table, ocx = files.split(":", 1)
            builds.append((bitness, read_table(table), ocx))
        text = wxs(argv[2], argv[3], builds)
        out = argv[4]
    elif len(argv) == 4 and argv[1] == "package-code" and argv[2] in UPGRADE_CODES:
        print("{" + derived_guid(argv[2], argv[3], "package") + "}")
        return
    else:
        sys.exit(__doc__)
    with open(out, "w", encoding="utf-8") as file:
        file.write(text)


if __name__ == "__main__":
    main(sys.argv)
