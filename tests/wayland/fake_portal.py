'''A desktop portal with the GlobalShortcuts interface, for python3-dbusmock.

Parameters: "version" (1: no Registry, as the 1.16 frontend; 2: CreateSession refused until the
caller has registered its app id, as since 1.21), "bound" (how many of the shortcuts asked for the
desktop binds), "shortcuts" (false: no GlobalShortcuts interface at all), "garbled" (true: the
bind's answer carries its results as a{ss} and its shortcuts as a text).
The test steers it through org.example.FakePortal: Press(id, down) sends Activated or Deactivated
to the last session; Close() closes it, as a desktop may; Session() names it; Binds() lists each
bind as "appid|id=trigger,...".
'''

import dbus
import dbus.service

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.GlobalShortcuts'
SYSTEM_BUS = False
STEER_IFACE = 'org.example.FakePortal'
REGISTRY_IFACE = 'org.freedesktop.host.portal.Registry'


def load(mock, parameters):
    mock.version = int(parameters.get('version', 2))
    mock.bound = int(parameters.get('bound', 3))
    mock.registered = ''
    mock.session = ''
    mock.binds = []
    mock.garbled = bool(parameters.get('garbled', False))
    if parameters.get('shortcuts', True):
        mock.AddProperties(MAIN_IFACE, {'version': dbus.UInt32(mock.version)})


def handle(sender, kind, token):
    return dbus.ObjectPath(f'{MAIN_OBJ}/{kind}/{sender[1:].replace(".", "_")}/{token}')


def respond(mock, sender, token, results, signature='sv'):
    path = handle(sender, 'request', token)
    mock.EmitSignalDetailed('org.freedesktop.portal.Request', 'Response', 'ua{' + signature + '}',
                            [dbus.UInt32(0), dbus.Dictionary(results, signature=signature)],
                            {'path': path, 'destination': sender})
    return path


@dbus.service.method(REGISTRY_IFACE, in_signature='sa{sv}', out_signature='')
def Register(self, app_id, options):
    if self.version < 2:
        raise dbus.exceptions.DBusException('No Registry',
                                            name='org.freedesktop.DBus.Error.UnknownMethod')
    self.registered = app_id


@dbus.service.method(MAIN_IFACE, in_signature='a{sv}', out_signature='o', sender_keyword='sender')
def CreateSession(self, options, sender=None):
    if self.version >= 2 and not self.registered:
        raise dbus.exceptions.DBusException('An app id is required',
                                            name='org.freedesktop.portal.Error.NotAllowed')
    self.session = handle(sender, 'session', options['session_handle_token'])
    return respond(self, sender, options['handle_token'], {'session_handle': str(self.session)})


@dbus.service.method(MAIN_IFACE, in_signature='oa(sa{sv})sa{sv}', out_signature='o',
                     sender_keyword='sender')
def BindShortcuts(self, session, shortcuts, parent, options, sender=None):
    self.binds.append(self.registered + '|' + ','.join(
        f'{sid}={props.get("preferred_trigger", "")}' for sid, props in shortcuts))
    kept = dbus.Array([dbus.Struct((sid, dbus.Dictionary({'description': props['description']},
                                                         signature='sv')))
                       for sid, props in shortcuts[:self.bound]], signature='(sa{sv})')
    if self.garbled:
        return respond(self, sender, options['handle_token'], {'shortcuts': 'start,pause,stop'},
                       'ss')
    return respond(self, sender, options['handle_token'], {'shortcuts': kept})


@dbus.service.method(STEER_IFACE, in_signature='sb', out_signature='')
def Press(self, shortcut_id, down):
    if not self.session:
        return
    self.EmitSignal(MAIN_IFACE, 'Activated' if down else 'Deactivated', 'osta{sv}',
                    [self.session, shortcut_id, dbus.UInt64(0), dbus.Dictionary({}, signature='sv')])


@dbus.service.method(STEER_IFACE, in_signature='', out_signature='as')
def Binds(self):
    return dbus.Array(self.binds, signature='s')


@dbus.service.method(STEER_IFACE, in_signature='', out_signature='')
def Close(self):
    self.EmitSignalDetailed('org.freedesktop.portal.Session', 'Closed', 'a{sv}',
                            [dbus.Dictionary({}, signature='sv')], {'path': self.session})


@dbus.service.method(STEER_IFACE, in_signature='', out_signature='s')
def Session(self):
    return str(self.session)
