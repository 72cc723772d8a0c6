// Builds every addon of the assembly, round-trips it and its deed through
// serialisation, and prints "addon CLASS DEED COUNT" and "ID X Y Z HUE" lines.
using System;
using System.Linq;
using Server;
using Server.Items;

public static class AddonDriver
{
	static void RoundTrip(Item item)
	{
		GenericWriter writer = new GenericWriter();
		item.Serialize(writer);
		GenericReader reader = new GenericReader(writer.Ints);
		item.Deserialize(reader);
		if (!reader.AtEnd || writer.Ints.Last() != 0)
			throw new Exception("serialisation of " + item.GetType().Name);
	}

	public static void Main()
	{
		foreach (Type t in typeof(AddonDriver).Assembly.GetTypes().Where(t => t.IsSubclassOf(typeof(BaseAddon))))
		{
			BaseAddon addon = (BaseAddon)Activator.CreateInstance(t);
			BaseAddonDeed deed = addon.Deed;
			if (deed.Addon.GetType() != t)
				throw new Exception("deed of " + t.Name);
			RoundTrip(addon);
			RoundTrip(deed);
			Console.WriteLine("addon {0} {1} {2}", t.Name, Convert.ToBase64String(System.Text.Encoding.UTF8.GetBytes(deed.Name)), addon.Components.Count);
			foreach (AddonComponent c in addon.Components)
				Console.WriteLine("{0} {1} {2} {3} {4}", c.ItemID, c.X, c.Y, c.Z, c.Hue);
		}
	}
}
