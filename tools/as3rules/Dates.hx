// Date: the string forms, UTC fields, setters given NaN or Infinity, parse, and range limits.
class Dates {
	static function main() {
		var D:Dynamic = R.g("Date");
		var u:Dynamic = untyped __global__["undefined"];
		var mk = function(t:Dynamic):Dynamic return untyped __new__(D, t);
		var times:Array<Dynamic> = [0, -1, 1e12, -62198755200000.0, 8.64e15, 8.64e15 + 1, -8.64e15, Math.NaN, Math.POSITIVE_INFINITY, 1.5, -0.5, "1e3", null, u, true];
		for (t in times) {
			var l = R.show(t);
			R.run(l + " getTime", function() return mk(t).getTime());
			R.run(l + " toUTCString", function() return mk(t).toUTCString());
			R.run(l + " UTC fields", function() {
				var d:Dynamic = mk(t);
				return [d.getUTCFullYear(), d.getUTCMonth(), d.getUTCDate(), d.getUTCDay(), d.getUTCHours(), d.getUTCMinutes(), d.getUTCSeconds(), d.getUTCMilliseconds()].join(",");
			});
		}
		var args:Array<Dynamic> = [u, null, Math.NaN, Math.POSITIVE_INFINITY, -1, 0, 13, 1.9, "5", 1e10];
		var setters = ["setUTCFullYear", "setUTCMonth", "setUTCDate", "setUTCHours", "setUTCMinutes", "setUTCSeconds", "setUTCMilliseconds", "setTime"];
		for (s in setters) {
			for (a in args) {
				R.run(s + "(" + R.show(a) + ")", function() {
					var d:Dynamic = mk(86400000 * 400 + 3723004);
					var f:Dynamic = Reflect.field(d, s);
					var r = f.apply(d, [a]);
					return R.str(r) + " " + R.str(d.getTime());
				});
			}
			R.run(s + "()", function() {
				var d:Dynamic = mk(86400000 * 400 + 3723004);
				var f:Dynamic = Reflect.field(d, s);
				var r = f.apply(d, []);
				return R.str(r) + " " + R.str(d.getTime());
			});
			R.run(s + " on NaN date", function() {
				var d:Dynamic = mk(Math.NaN);
				var f:Dynamic = Reflect.field(d, s);
				var r = f.apply(d, [5]);
				return R.str(r);
			});
		}
		var strs = [
			"Thu Jan 1 00:00:00 GMT+0000 1970", "Sat, 01 Jan 2000 12:00:00 GMT", "2000/01/02", "01/02/2000", "1/2/2000 10:11:12", "Jan 2 2000",
			"2 Jan 2000", "January 2, 2000", "2000-01-02", "2000-01-02T03:04:05Z", "Tue Feb 1 2000 UTC", "Tue Feb 1 2000 GMT-0130", "", "x",
			"12:00 2000/1/1", "2000/13/45", "Mon Jan 1 00:00:00 UTC+0100 2001", "1/1/70", "1/1/1", "Feb 30 2000 GMT"
		];
		for (s in strs) {
			R.run("parse " + s, function() return untyped D.parse(s));
		}
		R.run("UTC()", function() return untyped D.UTC());
		R.run("UTC(2000)", function() return untyped D.UTC(2000));
		R.run("UTC(99,0)", function() return untyped D.UTC(99, 0));
		R.run("UTC(2000,0,1,25,61,61,1001)", function() return untyped D.UTC(2000, 0, 1, 25, 61, 61, 1001));
		R.run("UTC(NaN,0)", function() return untyped D.UTC(Math.NaN, 0));
		R.run("new Date(2000,0)", function() return untyped __new__(D, 2000, 0).getMonth());
		R.run("new Date('2000/01/02') year", function() return untyped __new__(D, "2000/01/02").getFullYear());
		R.run("new Date(date)", function() return untyped __new__(D, mk(5)).getTime());
		R.run("Date() type", function() return untyped __typeof__(D()));
		R.run("valueOf", function() return mk(7).valueOf());
		R.run("fullYearUTC prop", function() return mk(0).fullYearUTC);
		R.run("set prop", function() {
			var d:Dynamic = mk(0);
			d.monthUTC = 5;
			return d.getTime();
		});
		R.run("date + 1", function() return untyped (mk(0) + 1).substr(0, 3));
		R.run("date - 1", function() return untyped (mk(10) - 1));
	}
}
