#!/usr/bin/python3
"""The cockpit page in a real browser (headless Chromium through Selenium): every needle and
switch drawn where its named variable puts it, and the pilot's clicks reaching the module.

    cockpit_test.py --bench build/default/bin/zelvan-bench --out build/default
"""
import argparse
import base64
import math
import os
import re
import signal
import subprocess
import sys
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By

HERE = os.path.dirname(os.path.abspath(__file__))
ARGS = argparse.Namespace(bench=None, out=None)
PANEL_WIDTH, PANEL_HEIGHT = 850, 432


class Bench:
    """`zelvan-bench serve` on a free loopback port, ended with Ctrl-C as a user would."""

    def __init__(self, scenario):
        self.process = subprocess.Popen(
            [ARGS.bench, 'serve', os.path.join(HERE, scenario), '--port', '0'],
            stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        found = re.search(r'http://127\.0\.0\.1:\d+/', line)
        if not found:
            self.process.kill()
            raise RuntimeError(f'the bench did not say where it serves: {line!r}')
        self.url = found.group(0)

    def stop(self):
        self.process.send_signal(signal.SIGINT)
        try:
            return self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            raise
        finally:
            self.process.stdout.close()


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--hide-scrollbars',
                 '--window-size=1280,1500'):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def numbers(text):
    return [float(n) for n in re.findall(r'-?\d+(?:\.\d+)?(?:e-?\d+)?', text or '')]


class Page:
    def __init__(self, driver, url):
        self.driver = driver
        driver.get(url)
        self.wait(lambda: self.script('return window.cockpit.frames') > 0, 'no live frame came')

    def script(self, code, *args):
        return self.driver.execute_script(code, *args)

    def wait(self, condition, what, timeout=20.0):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if condition():
                return
            time.sleep(0.05)
        raise AssertionError(f'after {timeout} s: {what}')

    def lvar(self, name):
        return self.script('return window.cockpit.lvars[arguments[0]]', name)

    def element(self, id_):
        return self.driver.find_element(By.ID, id_)

    def transform(self, id_):
        return numbers(self.element(id_).get_attribute('transform'))

    def sim_time(self):
        return self.script('return window.cockpit.t')

    def show(self, name, value):
        """Moves the parts that show a named variable as a frame with that value would."""
        self.script('for (const f of window.cockpit.watchers.get(arguments[0])) f(arguments[1])',
                    name, value)

    def panel_point(self, x, y):
        """The service panel's pixel (x, y) as an offset from the picture's centre."""
        img = self.element('service-panel')
        w, h = img.size['width'], img.size['height']
        return img, round((x + 0.5) * w / PANEL_WIDTH - w / 2), round((y + 0.5) * h / PANEL_HEIGHT - h / 2)


# Each part of the page and where its named variable must put it: the dials' own scales.
def asi(kmh):            # 0 km/h at -135 degrees, 250 km/h at +135
    return -135 + kmh * 270 / 250


def vario(ms, full):     # zero at nine o'clock, full scale 150 degrees either way
    return -90 + ms / full * 150


EXPECTED = [
    # (element, attribute or 'transform', expected numbers or text)
    ('asi-needle', [asi(100)]),                         # needle 25 = 100 km/h
    ('asi_2-needle', [asi(200)]),
    ('vario-needle', [vario(10, 30)]),                  # needle 80 = +10 m/s
    ('vario_2-needle', [vario(-15, 30)]),
    ('pvario-needle', [vario(2, 5)]),                   # needle 70 = +2 m/s
    ('pvario_2-needle', [vario(0, 5)]),
    ('alt-metre', [90]), ('alt-kilo', [45]),            # 250 m of the km; 1250 m of 10 km
    ('alt_2-metre', [180]), ('alt_2-kilo', [18]),
    ('alt-knob', [108]), ('alt_2-knob', [180]),
    ('agd1-roll', [-30]), ('agd1-pitch', [0, 16]),      # 30 degrees right, 10 up (1.6 px a degree)
    ('agd2-roll', [15]), ('agd2-pitch', [0, -8]),
    ('agd1-reference', [0, -10]), ('agd2-reference', [0, 0]),
    ('agd1-turn', [20]), ('agd2-turn', [-20]),
    ('agd1-cage', [0, 0]), ('agd2-cage', [10, 0]),      # released; caged (knob pulled out)
    ('turn1-needle', [-22.5]), ('turn2-needle', [36]),
    ('turn1-ball', [18, 0]), ('turn2-ball', [18, 0]),
    ('yaw-string', [12]),
    ('compass-card', [-126, 0]),                        # heading 90 at 1.4 px a degree
    ('compass-tilt', [0, -1.2, 2]),
    ('sw-battery1', [0]), ('sw-battery2', [180]), ('sw-master', [0]),
    ('sw-agd1', [0]), ('sw-agd2', [180]),
    ('agd1-off', [0, 3]), ('agd2-off', [0, 0]),
    ('radio-volume', [-135 + 0.5 / 0.95 * 270]),
    ('handle-spoilers', [0, 75]), ('handle-flaps', [0, 150]), ('handle-gear', [0, 30]),
    ('brake-lever', [-20, 0, 120]),
    ('window-front', [29, 0]), ('window-one', [58, 0]), ('window-two', [0, 0]),
]
EXPECTED_TEXT = [
    ('alt-pressure', '1013'), ('alt_2-pressure', '960'),
    ('radio-frequency', '123.350'), ('pedals-setting', '0.3'),
]
# Variables past the ends of their scales: the needle stops at the end of its dial.
STOPS = [
    ('ovi_turnkey_needle', 3.49, 'turn1-needle', [45]),
    ('ovi_turnkey_needle', -2.24, 'turn1-needle', [-45]),
    ('zelvan_turnkey_needle_2', 1.7, 'turn2-needle', [45]),
    ('att_turn_needle_1', 2.0, 'agd1-turn', [40]),
    ('ovi_inclin_ball', -1.0, 'turn1-ball', [-36, 0]),
    ('zelvan_speed_needle', 90, 'asi-needle', [asi(250)]),
    ('zelvan_speed_needle', -3, 'asi-needle', [asi(0)]),
    ('zelvan_climb_needle', 200, 'vario-needle', [vario(30, 30)]),
    ('zelvan_prec_climb_needle_2', -20, 'pvario_2-needle', [vario(-5, 5)]),
    ('air_cord_angle', 4.0, 'yaw-string', [30]),
    ('zelvan_brake', 1.5, 'brake-lever', [-40, 0, 120]),
]


class NeedlesFollowTheirVariables(unittest.TestCase):
    def test_every_part_is_drawn_where_its_variable_puts_it(self):
        bench = Bench('needles.json')
        driver = browser()
        try:
            page = Page(driver, bench.url)
            page.wait(lambda: page.lvar('zelvan_slidwin_two') is not None, 'the variables came')
            for id_, want in EXPECTED:
                got = page.transform(id_)
                self.assertEqual(len(got), len(want), f'{id_}: {got}')
                for g, w in zip(got, want):
                    self.assertAlmostEqual(g, w, delta=0.01, msg=f'{id_}: {got} != {want}')
            for id_, want in EXPECTED_TEXT:
                self.assertEqual(page.element(id_).text, want, id_)
            # The module never ran: no battery has a charge, so the radio's display is dark
            # although its master switch is on and its volume up.
            self.assertEqual(page.element('radio-frequency').get_attribute('data-lit'), '0')
            for name, value, id_, want in STOPS:
                page.show(name, value)
                got = page.transform(id_)
                for g, w in zip(got, want):
                    self.assertAlmostEqual(g, w, delta=0.01, msg=f'{name} = {value}: {got} != {want}')
        finally:
            driver.quit()
            self.assertEqual(bench.stop(), 0)


class ClicksReachTheModule(unittest.TestCase):
    def test_switches_panel_and_handles(self):
        bench = Bench('flight.json')
        driver = browser()
        try:
            page = Page(driver, bench.url)
            # The battery switches take a toggle once a second of host time has passed.
            page.wait(lambda: (page.sim_time() or 0) > 1.5, 'the flight started')

            # The header says what a pilot reads; the raw host values are in the details.
            self.assertRegex(page.element('clock').text, r'^\d+:\d\d:\d\d$')
            self.assertEqual(page.element('ground').text, 'FLYING')
            self.assertEqual(page.element('altitude').text, 'ALT 800 m')
            self.assertEqual(page.element('speed').text, 'IAS 95 km/h')
            self.assertEqual(page.element('failures').text, 'failures off')
            self.assertFalse(page.element('paused').is_displayed())
            self.assertNotIn('token:', driver.find_element(By.TAG_NAME, 'header').text)
            self.assertFalse(page.element('details-values').is_displayed())
            page.element('details').find_element(By.TAG_NAME, 'summary').click()
            page.wait(lambda: 'token:937' in page.element('details-values').text,
                      'the details list the raw host values')
            self.assertIn('radio battery', page.element('details-values').text)

            # Battery 1 powers the front turn-and-slip indicator: its needle shows the turn
            # (token 937 = 5 of 10).
            self.assertAlmostEqual(page.transform('turn1-needle')[0], 0, delta=0.01)
            page.element('sw-battery1').click()
            page.wait(lambda: page.lvar('zelvan_battery1_switch') == 1, 'battery 1 on')
            page.wait(lambda: abs(page.transform('turn1-needle')[0] - 22.5) < 0.01,
                      'the turn needle shows the turn')

            # The master and AGD 1 power the attitude indicator: its own turn needle comes to
            # the turn; released from its cage, the horizon follows the bank.
            self.assertAlmostEqual(page.transform('agd1-turn')[0], 0, delta=0.01)
            page.element('sw-master').click()
            page.element('sw-agd1').click()
            page.wait(lambda: abs(page.transform('agd1-turn')[0] - 20) < 0.01,
                      'the attitude indicator\'s turn needle shows the turn')
            page.element('agd1-cage').click()
            page.wait(lambda: page.lvar('ovi_arrester_switch') == 1, 'AGD 1 released')
            roll = page.transform('agd1-roll')[0]
            page.wait(lambda: abs(page.transform('agd1-roll')[0] - roll) > 0.5,
                      'the horizon moves with the bank')

            # The service panel: the wheel on the front pilot's mass turns it.
            texts = lambda: page.script('return window.cockpit.panel.map(e => e.text).join("|")')
            masses = texts()
            img, dx, dy = page.panel_point(432, 311)
            ActionChains(driver).scroll_from_origin(ScrollOrigin.from_element(img, dx, dy), 0, -120).perform()
            page.wait(lambda: texts() != masses, f'a mass changed from {masses}')

            # A click on the front seat empties it: the panel's picture changes.
            before = page.script('return JSON.stringify(window.cockpit.panel)')
            version = int(page.element('service-panel').get_attribute('data-version'))
            img, dx, dy = page.panel_point(387 + 18, 123 + 18)
            ActionChains(driver).move_to_element_with_offset(img, dx, dy).click().perform()
            page.wait(lambda: int(page.element('service-panel').get_attribute('data-version')) > version,
                      'the panel is drawn anew')
            self.assertNotEqual(page.script('return JSON.stringify(window.cockpit.panel)'), before)
            page.wait(lambda: page.script(
                'const i = document.getElementById("service-panel");'
                'return i.complete && i.naturalWidth === 850 && i.src.endsWith("v=" + i.dataset.version);'),
                'the new picture is shown')

            # Holding the mouse below the spoilers' grip drags them out.
            slot = page.element('handle-spoilers-slot')
            ActionChains(driver).move_to_element_with_offset(slot, 0, slot.size['height'] // 2 - 4) \
                .click_and_hold().pause(1.0).release().perform()
            page.wait(lambda: (page.lvar('zelvan_spoilers_grip') or 0) > 0.05, 'the spoilers grip moved')
            page.wait(lambda: page.transform('handle-spoilers')[1] > 7, 'the grip is drawn lower')

            # Pause and resume from the page: host time stops and goes on; the host's sound
            # switch goes off.
            page.element('pause').click()
            page.wait(lambda: page.script('return document.body.dataset.paused') == '1', 'paused')
            page.wait(lambda: page.element('paused').is_displayed(), 'the pause is shown')
            page.element('pause').click()
            page.wait(lambda: page.script('return document.body.dataset.paused') == '0', 'resumed')
            page.element('sound').click()
            page.wait(lambda: page.script('return document.body.dataset.sound') == '0', 'sound off')

            # The radio's display lights once the volume knob switches the radio on with the
            # master on and the radio battery charged.
            lit = lambda: page.element('radio-frequency').get_attribute('data-lit')
            self.assertEqual(lit(), '0')
            knob = page.element('radio-volume')
            for _ in range(3):
                ActionChains(driver).move_to_element_with_offset(knob, 6, 0).click().perform()
            page.wait(lambda: lit() == '1', 'the radio display is lit')

            if ARGS.out:
                shot = os.path.join(ARGS.out, 'cockpit-page.png')
                # The whole page, beyond the window's height.
                png = driver.execute_cdp_cmd('Page.captureScreenshot',
                                             {'format': 'png', 'captureBeyondViewport': True})
                with open(shot, 'wb') as f:
                    f.write(base64.b64decode(png['data']))
                print(f'screenshot: {shot}')

            # The master switch off: the radio loses its battery and its display goes dark.
            page.element('sw-master').click()
            page.wait(lambda: page.lvar('zelvan_master_battery_switch') == 0, 'master off')
            page.wait(lambda: lit() == '0', 'the radio display is dark')
        finally:
            driver.quit()
            self.assertEqual(bench.stop(), 0)


FLIGHT_RECORD = os.path.join(HERE, '..', '..', '..', 'shared', 'flights', 'sgs_flight_stock.csv.gz')


@unittest.skipUnless(os.path.exists(FLIGHT_RECORD), 'the reference flights are not beside the project')
class ARecordedFlightDrivesThePage(unittest.TestCase):
    def test_the_instruments_follow_the_replayed_flight(self):
        bench = Bench(FLIGHT_RECORD)
        driver = browser()
        try:
            page = Page(driver, bench.url)
            # The pilot switches the cockpit on in the replay's lead-in; then the airspeed
            # indicator shows the record's airspeed (about 80 km/h: needle 20 of 100) and the
            # altimeter's metre needle moves with the glide.
            page.wait(lambda: (page.lvar('zelvan_battery1_switch') or 0) == 1, 'the cockpit is on')
            page.wait(lambda: (page.lvar('zelvan_speed_needle') or 0) > 15, 'the airspeed shows')
            metre = page.transform('alt-metre')[0]
            page.wait(lambda: abs(page.transform('alt-metre')[0] - metre) > 0.2,
                      'the altimeter follows the flight')
        finally:
            driver.quit()
            self.assertEqual(bench.stop(), 0)


if __name__ == '__main__':
    parser = argparse.ArgumentParser()
    parser.add_argument('--bench', required=True)
    parser.add_argument('--out')
    ARGS, rest = parser.parse_known_args()
    ARGS.bench = os.path.abspath(ARGS.bench)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
